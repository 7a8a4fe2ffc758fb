# make demo   - set up the machine, build, and play a short cross-probe session
# make test   - set up the machine, build, and run every test (CTest under Wine and Xvfb)
# make bench  - build and run the benchmark program
SHELL := /bin/bash
BUILD_ROOT ?= build
JOBS ?= 2

TEST_ARCH = $(shell tools/test-arch)
TEST_BUILD = $(BUILD_ROOT)/$(TEST_ARCH)
PRODUCT_BUILD = $(BUILD_ROOT)/i686-product

.PHONY: setup build product test demo bench clean

setup:
	@tools/setup.sh

product: setup
	@cmake --no-warn-unused-cli -S . -B $(PRODUCT_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DVANTIK_PRODUCT_ONLY=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(PRODUCT_BUILD) -j$(JOBS)

build: setup product
	@cmake --no-warn-unused-cli -S . -B $(TEST_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$(TEST_ARCH).cmake \
	    -DVANTIK_PRODUCT_DLL=$(abspath $(PRODUCT_BUILD))/bin/VantikToolSX.DLL >/dev/null
	@cmake --build $(TEST_BUILD) -j$(JOBS)

test: build
	@cd $(TEST_BUILD) && xvfb-run -a ctest --output-on-failure --timeout 600

demo: build
	@tools/demo.sh $(TEST_BUILD)

bench: build
	@$(TEST_BUILD)/wine-run $(TEST_BUILD)/bin/vantik_bench.exe

clean:
	rm -rf $(BUILD_ROOT)
