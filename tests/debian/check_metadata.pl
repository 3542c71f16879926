#!/usr/bin/perl
# Checks the Debian package's metadata with dpkg's own parsers, without
# building the package: the control file parses and its dependencies are
# computed, a fresh machine gets every build dependency from the set-up
# script, the changelog is at the program's version and the copyright file
# names the licence the AppStream file states.
#   check_metadata.pl SOURCE_FOLDER PROGRAM_VERSION
use strict;
use warnings;
use Dpkg::Changelog::Parse qw(changelog_parse);
use Dpkg::Control;
use Dpkg::Control::Info;
use Dpkg::Deps qw(deps_parse deps_iterate);

my ($top, $program_version) = @ARGV;
my @faults;
sub fault { push @faults, join('', @_) }

my $control = Dpkg::Control::Info->new("$top/debian/control");
my $source = $control->get_source();
my $package = $control->get_pkg_by_name('kelvasto') or die "no package kelvasto in debian/control\n";
# The libraries the programs load are found by dh_shlibdeps, not written down.
my $depends = $package->{Depends} // '';
for my $computed ('${shlibs:Depends}', '${misc:Depends}') {
    fault("Depends lacks $computed") unless index($depends, $computed) >= 0;
}
my $hand_written = $depends =~ s/\$\{[^}]+\}//gr;
fault("Depends names libraries by hand: $hand_written") if $hand_written =~ /[a-z]/;

# Every build dependency comes from the set-up script that `make deb` runs.
my $build_depends = deps_parse($source->{'Build-Depends'} // '', build_dep => 1)
    or fault('Build-Depends does not parse');
my %installed = map { $_ => 1 } split ' ', `sh "$top/scripts/install-deps.sh" --deb --list`;
fault('install-deps.sh --deb --list failed') if $? != 0;
deps_iterate($build_depends, sub {
    my $name = $_[0]->{package};
    $name = 'debhelper' if $name eq 'debhelper-compat';
    fault("the build dependency $name is not installed by scripts/install-deps.sh --deb")
        unless $installed{$name};
    return 1;
}) if $build_depends;

my $entry = changelog_parse(file => "$top/debian/changelog", count => 1);
fault('debian/changelog does not parse') unless $entry && $entry->{Version};
fault("debian/changelog is at $entry->{Version}, the program at $program_version")
    if $entry && $entry->{Version} && $entry->{Version} ne $program_version;

open my $metainfo_fh, '<', "$top/resources/desktop/org.example.kelvasto.metainfo.xml" or die $!;
my ($project_license) = join('', <$metainfo_fh>) =~ m{<project_license>([^<]+)</project_license>};
open my $copyright_fh, '<', "$top/debian/copyright" or die $!;
my (@licences, %texts);
while (1) {
    my $paragraph = Dpkg::Control->new(type => CTRL_UNKNOWN, allow_duplicate => 1);
    last unless $paragraph->parse($copyright_fh, 'debian/copyright');
    next unless defined $paragraph->{License};
    my ($name, $text) = split /\n/, $paragraph->{License}, 2;
    if (defined $paragraph->{Files}) { push @licences, $name } else { $texts{$name} = $text }
}
fault('debian/copyright has no Files paragraph with a License') unless @licences;
for my $licence (@licences) {
    fault("debian/copyright names $licence, the AppStream file $project_license")
        unless $licence eq ($project_license // '');
    fault("debian/copyright lacks the text of $licence") unless $texts{$licence};
}

print STDERR "check_metadata: $_\n" for @faults;
exit(@faults ? 1 : 0);
