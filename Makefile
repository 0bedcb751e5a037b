# The two commands every newcomer needs: `make run` and `make test`.
PRESET ?= $(if $(CI),ci,default)
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 15
# Test programs of threaded code, built and run again under ThreadSanitizer.
TSAN_TARGETS ?= test_base test_animation test_frame_threads

.PHONY: run test bootstrap build asan tsan fuzz fuzz-build bench soak format clean deb deb-check

bootstrap:
	@scripts/bootstrap

build/build.ninja: | bootstrap
	cmake --preset $(PRESET)

build: bootstrap build/build.ninja
	cmake --build build -j $(JOBS)

run: build
	@scripts/run-demo

test: build
	ctest --test-dir build --output-on-failure -j $(JOBS) --timeout 600
	$(MAKE) asan
	$(MAKE) tsan
	$(MAKE) fuzz-build
	scripts/fuzz-smoke $(FUZZ_SECONDS)

# The core tests (no Qt, no SDL) again under AddressSanitizer and UBSan.
asan: bootstrap
	@[ -f build-asan/build.ninja ] || cmake --preset asan
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan -L core --output-on-failure -j $(JOBS) --timeout 900

# The threaded parts under ThreadSanitizer.
tsan: bootstrap
	@[ -f build-tsan/build.ninja ] || cmake --preset tsan
	@targets=$$(ninja -C build-tsan -t targets all | sed -n 's/^\([a-z_]*\): phony$$/\1/p'); \
	for t in $(TSAN_TARGETS); do if echo "$$targets" | grep -qx "$$t"; then cmake --build build-tsan -j $(JOBS) --target $$t || exit 1; fi; done
	ctest --test-dir build-tsan -L tsan --output-on-failure -j $(JOBS) --timeout 900 --no-tests=ignore

fuzz-build: bootstrap
	@[ -f build-fuzz/build.ninja ] || cmake --preset fuzz
	cmake --build build-fuzz -j $(JOBS)

# Longer fuzzing: make fuzz FUZZ_SECONDS=600
fuzz: fuzz-build
	scripts/fuzz-smoke $(FUZZ_SECONDS)

# Every benchmark program. The effects' full set takes minutes; pick a part with e.g.
# make bench BENCH_FILTER='^(Floor|Effect12[1-4])/'  (a Google Benchmark regex), and pass
# other options in BENCH_ARGS, e.g. BENCH_ARGS='--benchmark_repetitions=3'.
BENCH_FILTER ?=
BENCH_ARGS ?=
bench: build
	@for b in build/bench/bench_*; do [ -x "$$b" ] && "$$b" \
	  $(if $(BENCH_FILTER),'--benchmark_filter=$(BENCH_FILTER)') $(BENCH_ARGS) || true; done

# The show of the demo saver on a simulated clock for 24 simulated hours at 320 x 240,
# checking that memory and open files stay flat after the first hour. Shorter or other
# runs: make soak SOAK_ARGS='--hours 2 --size 640x480'.
SOAK_ARGS ?=
soak: bootstrap build/build.ninja
	cmake --build build -j $(JOBS) --target soak_show demo_saver
	build/tools/soak/soak_show build/Demo.scr $(SOAK_ARGS)

# The Debian package, from a release build of its own in build-release/ (-O2, no tests or
# benchmarks): build-release/vecsaver_VERSION_ARCH.deb and the debugging information in
# vecsaver-dbgsym_VERSION_ARCH.ddeb. Dependencies are found by dpkg-shlibdeps.
DEB_TARGETS = vecsaver vectool demo_saver package_files
CCACHE_ENV = $(if $(shell command -v ccache),CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache)
deb: bootstrap
	@[ -f build-release/build.ninja ] || $(CCACHE_ENV) cmake --preset release
	cmake --build build-release -j $(JOBS) --target $(DEB_TARGETS)
	cd build-release && cpack -G DEB

# The package tried on a clean Debian 12 root made by debootstrap (needs root and the
# network; a few minutes): installed with and without recommended packages, used by an
# ordinary user of that root, purged. One line per step; fails on the first failing step.
deb-check: deb
	scripts/deb-check build-release

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan build-fuzz build-release
