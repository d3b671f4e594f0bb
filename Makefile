# Thin wrapper around CMake. Every target first installs what is missing.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test bench samples clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

samples: build
	@$(BUILD_DIR)/bin/tdrsynth samples $(BUILD_DIR)/bin/Save/

run: samples
	@$(BUILD_DIR)/bin/tdrsynth info $(BUILD_DIR)/bin/Save/

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bin/bench_*; do echo "== $$b"; $$b; done

clean:
	@rm -rf $(BUILD_DIR)
