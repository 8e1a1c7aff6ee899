# Two commands for a newcomer: `make demo` and `make test`.
BUILD ?= build
JOBS  ?= $(shell nproc)
# CI (which sets CI=true) treats warnings as errors.
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(CI),-DSTRANDEL_WERROR=ON)
# SETUP=0 skips installing Debian packages, for machines that already have them.
SETUP ?= 1

.PHONY: all setup configure build test demo bench gpu-check mutants clean

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

gpu-check: setup
	@bash scripts/gpu-check.sh

# How many small faults in the plug-in the tests catch, in its own build folder (build-mutants/).
# MUTANTS="--seed 11 --count 40 --rev <commit>" chooses the sample and the tree measured.
mutants: setup
	@python3 scripts/mutants.py $(MUTANTS)

clean:
	rm -rf $(BUILD) build-mutants out
