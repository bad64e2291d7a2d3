# Two entry points: `make run` (install, build, stage, start the station) and
# `make test` (install, build, stage, run every fuzz target briefly, a short soak and every
# test). Everything else is a helper.
BUILD ?= build
JOBS ?= $(shell nproc)
STATION = $(BUILD)/station

.PHONY: deps build stage run test package asan fuzz soak bench format clean

deps:
	bash tools/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

stage: build
	cmake --build $(BUILD) --target stage

run: stage
	bash tools/run-station.sh $(STATION)

# Every fuzz target for TEST_FUZZ_SECONDS first, then a soak of TEST_SOAK_MINUTES, then ctest,
# whose summary closes the run.
TEST_FUZZ_SECONDS ?= 20
TEST_SOAK_MINUTES ?= 3
test: stage
	$(MAKE) fuzz FUZZ_SECONDS=$(TEST_FUZZ_SECONDS)
	bash tools/soak.sh $(TEST_SOAK_MINUTES) $(BUILD)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package of the station (build/package/pedalyx_<version>_<arch>.deb), checked
# with lintian.
package: stage
	rm -f $(BUILD)/package/*.deb
	cd $(BUILD) && cpack -G DEB
	lintian --fail-on error $(BUILD)/package/*.deb

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer. The window tests
# start the programs through stdbuf, whose preload would otherwise make ASan refuse to start.
asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPEDALYX_SANITIZE=ON >/dev/null
	cmake --build build-asan -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0 cmake --build build-asan --target stage
	cd build-asan && ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

# libFuzzer targets of fuzz/ in their own clang build (build-fuzz/), each run FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPEDALYX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build-fuzz -j $(JOBS)
	bash tools/fuzz.sh $(FUZZ_SECONDS) build-fuzz

# The live station on the simulated camera for SOAK_MINUTES, an examination every minute.
SOAK_MINUTES ?= 60
soak: stage
	bash tools/soak.sh $(SOAK_MINUTES) $(BUILD)

bench: build
	cmake --build $(BUILD) --target benchmarks
	for b in $(BUILD)/bench/*; do [ -x "$$b" ] && "$$b"; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) build-asan build-fuzz
