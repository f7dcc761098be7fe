# Plain `make` builds into build/ with the programs at build/bin/.
BUILD      ?= build
SANITIZE   ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
GENERATOR  ?= Ninja
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?=

.PHONY: all build deps demo test test-large test-sanitize bench gui format fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

demo: deps build
	$(BUILD)/bin/varnix demo

# Tests labelled "large" (files of several GiB) run only in `make test-large`.
test: deps build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE large

test-large: deps build
	cd $(BUILD) && ctest --output-on-failure -L large

test-sanitize: deps
	cmake -S . -B $(SANITIZE) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DVARNIX_SANITIZE=ON \
	    -DVARNIX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE) -j $(JOBS)
	cd $(SANITIZE) && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS) -LE large

# libFuzzer targets built with clang, ASan and UBSan into $(FUZZ_BUILD)/, each run for
# FUZZ_SECONDS on its corpus under fuzz/corpus/ (seeded from tests/data).
fuzz:
	@VARNIX_FUZZ_DEPS=1 scripts/install-deps
	test -f $(FUZZ_BUILD)/build.ninja || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) \
	    -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNIX_FUZZ=ON -DVARNIX_BUILD_GUI=OFF \
	    -DVARNIX_BUILD_TESTS=OFF -DVARNIX_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/seed-corpora.sh fuzz/corpus $(FUZZ_BUILD)/bin/varnix
	fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench: deps build
	$(BUILD)/bin/varnix_bench

gui: build
	$(BUILD)/bin/varnix-gui

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE) $(FUZZ_BUILD)
