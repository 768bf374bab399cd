# The two everyday commands: `make test` and `make run`.
BUILD_DIR ?= build
JOBS ?= 2

.PHONY: all deps configure build test run clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo; \
	fi

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

run: build
	./$(BUILD_DIR)/bin/densora-cli --version

clean:
	rm -rf $(BUILD_DIR)
