# Two commands for a newcomer: `make demo` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
# CI (which sets CI=true) treats warnings as errors.
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(CI),-DSTRANDEL_WERROR=ON)
# SETUP=0 skips installing Debian packages, for machines that already have them.
# ROUNDS sets the interleaved rounds of bench-compare.
ROUNDS ?= 5
SETUP ?= 1

.PHONY: all setup configure build test demo bench bench-compare gpu-check clean

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

clean:
	rm -rf $(BUILD) out
