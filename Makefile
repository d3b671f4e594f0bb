# Thin wrapper around CMake. Every target first installs what is missing.
# SANITIZE=1 builds into build-sanitize with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the tests under them.
SANITIZE ?= 0
ifeq ($(SANITIZE),1)
BUILD_DIR ?= build-sanitize
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DONDALIS_SANITIZE=ON -DONDALIS_BUILD_FUZZ=OFF -DONDALIS_BUILD_BENCH=OFF
TEST_ENV := ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
BUILD_DIR ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
TEST_ENV :=
endif
JOBS ?= 2
BIN := $(BUILD_DIR)/bin

# The Debian package is built apart, in build-package, configured for /usr.
PACKAGE_DIR ?= build-package
PACKAGE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr -DONDALIS_BUILD_TESTS=OFF -DONDALIS_BUILD_BENCH=OFF -DONDALIS_BUILD_FUZZ=OFF

.PHONY: all deps configure build run test bench samples install package check-package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

samples: build
	@$(BIN)/tdrsynth samples $(BIN)/Save/
	@$(BIN)/tdrsynth cables $(BIN)/Save/cables.tku
	@$(BIN)/tdrsynth info $(BIN)/Save/

run: samples
	@$(BIN)/ondalis

test: build
	@cd $(BUILD_DIR) && $(TEST_ENV) ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BIN)/bench_*; do echo "== $$b"; $$b; done

install: build
	@cmake --install $(BUILD_DIR)

# ondalis_<version>_<arch>.deb in $(PACKAGE_DIR), checked by lintian,
# appstreamcli and desktop-file-validate.
package: deps
	@scripts/install-package-deps
	@cmake -S . -B $(PACKAGE_DIR) $(PACKAGE_FLAGS) > /dev/null
	@cmake --build $(PACKAGE_DIR) -j $(JOBS) -- --no-print-directory
	@cd $(PACKAGE_DIR) && cpack -G DEB > /dev/null
	@scripts/lint-package $(PACKAGE_DIR)/ondalis_*.deb

# Builds the package, installs it as a user would, checks the desktop's view
# of it, and removes it again.
check-package:
	@scripts/check-package

clean:
	@rm -rf $(BUILD_DIR) $(PACKAGE_DIR)
