# make run  : install, build and start Tetrafol (without a display: the headless demo, in out/demo/)
# make test : install, build and run every test headless
# make soak : 1000 load/draw/clear cycles and 50 print cycles; fails when objects or memory grow
# make bench : every benchmark side by side; the table also goes to out/bench.md
# make dist : the release zip, out/dist/Tetrafol-<version>-win64.zip, built in build-dist/
# make fuzz : run each format's fuzzer for FUZZ_SECONDS (default 60; FUZZ_TARGET=name picks one)
SHELL := /bin/bash
BUILD := build
JOBS := $(shell nproc)

.PHONY: all deps build test run clean soak bench dist

all: build

deps:
	@bash scripts/install-packages.sh
	@bash scripts/build-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/scripts/wine-exec.sh >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@TETRAFOL_HEADLESS=1 bash scripts/with-services.sh \
	  ctest --test-dir $(BUILD) --output-on-failure

run: deps
	@cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
	@if [ -n "$$DISPLAY" ]; then cmake --build $(BUILD) -j$(JOBS) --target Tetrafol; \
	  else cmake --build $(BUILD) -j$(JOBS) --target Tetrafol tetrafol_demo; fi
	@bash scripts/run-app.sh

soak: build
	@TETRAFOL_SOAK_CYCLES=1000 TETRAFOL_SOAK_PRINTS=50 TETRAFOL_HEADLESS=1 bash scripts/with-services.sh \
	  bash scripts/wine-exec.sh $(BUILD)/unit_tests.exe --gtest_color=no --gtest_filter='Soak.*'

bench: deps
	@bash scripts/bench.sh

dist: deps
	@bash scripts/dist.sh

clean:
	rm -rf $(BUILD)

# ---- File-format reading cores, natively under AddressSanitizer and UBSan ----
# native-test: the accepted forms and the damaged-file corpus through the native build;
# fuzz: the libFuzzer targets for FUZZ_SECONDS each (crash files land in build-native/).
FUZZ_SECONDS ?= 60
.PHONY: native-test fuzz
test: native-test
native-test:
	@bash tests/native/run.sh check
fuzz:
	@FUZZ_SECONDS=$(FUZZ_SECONDS) bash tests/native/run.sh fuzz
