#pragma once
// A job that reports more than its counters takes its own reporter interface
// (DefectScanReporter, IndexJobReporter, ReductionReporter) from the caller,
// which passes the one it has; a host is never asked whether it is one. The
// interfaces' defaults listen to nothing, and stand in when none is passed.

template <class Reporter> Reporter& ReporterOrSilent(Reporter* reporter) {
    static Reporter silent;
    return reporter ? *reporter : silent;
}
