# Two entry points for a fresh Debian machine: `make run` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: run test deps release test-build bench clean

deps:
	@sh scripts/install-deps.sh

release: deps
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-release -j $(JOBS)

run: release
	./build-release/src/kelvasto

test-build: deps
	cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVASTO_SANITIZE=ON
	cmake --build build-test -j $(JOBS)

test: test-build
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: release
	@sh scripts/install-deps.sh --bench
	cmake --build build-release --target benchmarks -j $(JOBS)
	sh bench/run_all.sh build-release

clean:
	rm -rf build-release build-test
