# Two commands: `make run` and `make test`. Both install what is missing, configure and build;
# the build cross-builds the Windows program too, which the tests run under Wine.
# `make windows`: the Windows program and its installer alone.
BUILD_DIR ?= build
WINDOWS_BUILD_DIR ?= build-windows
BUILD_TYPE ?= RelWithDebInfo
SANITIZE ?= OFF
WERROR ?= OFF
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: run test build windows deps-run deps-test deps-windows configure clean format format-check

run: deps-run build
	$(BUILD_DIR)/app/nolvex-keyboard

test: deps-test build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

deps-run:
	@scripts/install-deps.sh run

deps-test:
	@scripts/install-deps.sh test

deps-windows:
	@scripts/install-deps.sh windows

configure:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	    -DNOLVEX_SANITIZE=$(SANITIZE) -DNOLVEX_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Cross-built with MinGW-w64 in a folder of its own: the program and its .msi installer.
windows: deps-windows
	cmake -S . -B $(WINDOWS_BUILD_DIR) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=MinSizeRel -DNOLVEX_WERROR=$(WERROR)
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps-test
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR)
