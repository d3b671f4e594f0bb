# Thin wrapper around CMake. Every target first installs what is missing.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
BIN := $(BUILD_DIR)/bin

.PHONY: all deps configure build run test bench samples install clean

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
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BIN)/bench_*; do echo "== $$b"; $$b; done

install: build
	@cmake --install $(BUILD_DIR)

clean:
	@rm -rf $(BUILD_DIR)
