# Plain `make` builds into build/ with the programs at build/bin/.
BUILD      ?= build
SANITIZE   ?= build-sanitize
GENERATOR  ?= Ninja
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?=

.PHONY: all build deps demo test test-sanitize bench gui format fuzz clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

demo: deps build
	$(BUILD)/bin/varnix demo

test: deps build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(SANITIZE) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DVARNIX_SANITIZE=ON \
	    -DVARNIX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE) -j $(JOBS)
	cd $(SANITIZE) && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS)

bench: deps build
	$(BUILD)/bin/varnix_bench

gui: build
	$(BUILD)/bin/varnix-gui

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE)
