# Front door of the build. Every target first makes sure the Debian packages the
# build and the tests need are installed (scripts/install-deps is quiet and quick
# when they are).

BUILD          ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD     ?= build-fuzz
FUZZ_SECONDS   ?= 60
FUZZ_TARGETS   ?=
BUILD_TYPE     ?= RelWithDebInfo
JOBS           ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build deps test test-sanitize format demo bench clean fuzz fuzz-build fuzz-seeds

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

# Fuzzing with libFuzzer needs clang; its build folder is its own. FUZZ_TARGETS
# names some of fuzz/*_fuzzer.cpp (all by default), FUZZ_SECONDS the time of each.
fuzz-build: deps
	@scripts/install-deps scripts/fuzz-packages
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DQUILLON_SANITIZE=ON -DQUILLON_FUZZ=ON -DQUILLON_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	@FUZZ_SECONDS=$(FUZZ_SECONDS) fuzz/run $(FUZZ_BUILD) $(FUZZ_TARGETS)

# Writes the seed corpora of fuzz/seeds/ again.
fuzz-seeds: fuzz-build
	@$(FUZZ_BUILD)/fuzz/fuzz_make_seeds fuzz/seeds

# The demo renders the background form, then the invoice that imports it; then
# quillon-blocks adds the blocks of examples/form-blocks.ini to the background
# and examples/form.conf fills them. A run reports its errors on standard error
# and still ends with status 0, so the demo fails on anything written there.
demo: build
	@mkdir -p out
	@for conf in background demo; do \
	  rm -f out/$$conf.pdf; \
	  $(BUILD)/quillon examples/$$conf.conf >/dev/null 2>out/$$conf.err || exit 1; \
	  if [ -s out/$$conf.err ] || [ ! -s out/$$conf.pdf ]; then cat out/$$conf.err >&2; exit 1; fi; \
	  rm -f out/$$conf.err; \
	done
	@$(BUILD)/quillon-blocks out/background.pdf examples/form-blocks.ini out/form.pdf
	@rm -f out/form-filled.pdf
	@$(BUILD)/quillon examples/form.conf >/dev/null 2>out/form.err || exit 1; \
	  if [ -s out/form.err ] || [ ! -s out/form-filled.pdf ]; then cat out/form.err >&2; exit 1; fi; \
	  rm -f out/form.err
	@echo "demo: out/demo.pdf (the invoice over out/background.pdf); run log: out/demo.log"
	@echo "demo: out/form-filled.pdf (the blocks of out/form.pdf filled); run log: out/form.log"

# Benchmarks: a Release build of its own, then every job several times; figures on
# standard output and in build/bench.json (bench/run --help for its options).
RELEASE_BUILD ?= build-release

bench: deps
	@cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release -DQUILLON_TESTS=OFF >/dev/null
	@cmake --build $(RELEASE_BUILD) -j $(JOBS) --target quillon quillon-blocks bench_drivers
	@bench/run --build $(RELEASE_BUILD)

format: deps
	@git ls-files '*.cpp' '*.h' '*.c' | grep -v '_table' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(RELEASE_BUILD) $(FUZZ_BUILD)
