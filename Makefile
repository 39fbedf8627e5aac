# Two commands: `make run` and `make test`. Both install what is missing, configure and build.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
SANITIZE ?= OFF
WERROR ?= OFF
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: run test build deps-run deps-test configure clean format format-check

run: deps-run build
	$(BUILD_DIR)/app/nolvex-keyboard

test: deps-test build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

deps-run:
	@scripts/install-deps.sh run

deps-test:
	@scripts/install-deps.sh test

configure:
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	    -DNOLVEX_SANITIZE=$(SANITIZE) -DNOLVEX_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps-test
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD_DIR)
