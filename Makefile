# Two commands for a newcomer: `make demo` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
# CI (which sets CI=true) treats warnings as errors.
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(CI),-DSTRANDEL_WERROR=ON)
# SETUP=0 skips installing Debian packages, for machines that already have them.
# ROUNDS sets the interleaved rounds of bench-compare.
ROUNDS ?= 5
SETUP ?= 1

.PHONY: all setup configure build test demo bench bench-compare gpu-check sanitize tsan fuzz stress mutants clean

all: build

setup:
ifneq ($(SETUP),0)
	@bash scripts/setup.sh
endif

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD)

bench: build
	@bash scripts/bench.sh $(BUILD)

# The CPU renderer beside llvmpipe, interleaved rounds; see bench/README.md.
bench-compare: build
ifneq ($(SETUP),0)
	@bash scripts/setup.sh bench
endif
	@bash scripts/bench-compare.sh $(BUILD) $(ROUNDS)

gpu-check: setup
	@bash scripts/gpu-check.sh

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in its own build folder;
# the Windows build is not instrumented and stays out.
# -O1 compiles faster than -O2 and still runs the suite at a fair speed; assertions stay on.
# Warnings are the normal build's business: instrumented code draws spurious flow warnings.
SANITIZE_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DSTRANDEL_WINDOWS=OFF
# No test needs a block of 1 GB: one that asks for it was fooled by a file's header.
export ASAN_OPTIONS ?= detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:max_allocation_size_mb=1024
export UBSAN_OPTIONS ?= print_stacktrace=1
export LSAN_OPTIONS ?= suppressions=$(CURDIR)/scripts/lsan-suppressions.txt:print_suppressions=0
export TSAN_OPTIONS ?= second_deadlock_stack=1
sanitize: setup
	@cmake -S . -B build-asan -G Ninja $(SANITIZE_FLAGS) -DSTRANDEL_SANITIZE=address,undefined >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer over the tests that run plug-in code on several threads at once.
TSAN_TESTS = Concurren|Thread|WakeUp
tsan: setup
	@cmake -S . -B build-tsan -G Ninja $(SANITIZE_FLAGS) -DSTRANDEL_SANITIZE=thread >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target strandel_thread_tests
	@cd build-tsan && ctest --output-on-failure -j $(JOBS) -R '$(TSAN_TESTS)'

# Each fuzz target for FUZZ_SECONDS, with clang's libFuzzer, from the corpus in tests/fuzz.
FUZZ_SECONDS ?= 60
fuzz: setup
ifneq ($(SETUP),0)
	@bash scripts/setup.sh fuzz
endif
	@CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSTRANDEL_FUZZ=ON -DSTRANDEL_SANITIZE=fuzzer-no-link,address,undefined -DSTRANDEL_WINDOWS=OFF -DSTRANDEL_CUDA=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target strandel_fuzzers
	@bash scripts/fuzz.sh build-fuzz $(FUZZ_SECONDS)

# Hundreds of frames on many threads against a serial render; not part of `make test`.
stress: build
	@cmake --build $(BUILD) --target strandel_stress
	@$(BUILD)/tests/stress/strandel_stress

# How many small faults in the plug-in the tests catch, in its own build folder (build-mutants/).
# MUTANTS="--seed 11 --count 40 --rev <commit>" chooses the sample and the tree measured.
mutants: setup
	@python3 scripts/mutants.py $(MUTANTS)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz build-mutants out
