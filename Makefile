# Two entry points for a fresh Debian machine: `make run` and `make test`.
JOBS ?= $(shell nproc)
# A compiler cache, where the machine has one, makes rebuilds in several work trees cheap.
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: run test deps release test-build bench killtest fuzz fuzz-build deb deb-check clean

deps:
	@sh scripts/install-deps.sh

release: deps
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER)
	cmake --build build-release -j $(JOBS)

run: release
	./build-release/src/kelvasto

test-build: deps
	cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVASTO_SANITIZE=ON $(LAUNCHER)
	cmake --build build-test -j $(JOBS)

test: test-build
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: release
	@sh scripts/install-deps.sh --bench
	cmake --build build-release --target benchmarks -j $(JOBS)
	sh bench/run_all.sh build-release

# The Debian package kelvasto_<version>_<arch>.deb in this folder, built in
# build-deb/ by dpkg-buildpackage and checked by lintian.
deb:
	@sh scripts/install-deps.sh --deb
	JOBS=$(JOBS) KELVASTO_CMAKE_FLAGS="$(LAUNCHER)" sh scripts/build-deb.sh

# Installs that package with apt in a throwaway overlay of this machine's root,
# runs kelvasto-batch --help, removes it with apt and names any trace (root).
deb-check: deb
	sh scripts/check-deb-install.sh \
	    kelvasto_$$(dpkg-parsechangelog -S Version)_$$(dpkg-architecture -qDEB_HOST_ARCH).deb

# Move runs and undos killed at random moments (200 rounds, half of them
# across file systems): prints rounds, lost, partial and duplicates.
killtest: test-build
	sh tests/kill/kill_test.sh build-test/src/cli/kelvasto-batch $${ROUNDS:-200} $${BIG_FILE_KB:-30000}

# libFuzzer targets (clang, ASan + UBSan), each run FUZZ_SECONDS on one core.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_bmp_reader fuzz_defect_test fuzz_jpeg_accurate fuzz_jpeg_fast \
	fuzz_jpeg_reduction fuzz_fingerprint_cache

fuzz-build:
	@sh scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DKELVASTO_FUZZ=ON $(LAUNCHER)
	cmake --build build-fuzz --target $(FUZZ_TARGETS) -j $(JOBS)

fuzz: fuzz-build
	sh fuzz/run_fuzzers.sh build-fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf build-release build-test build-fuzz build-deb
