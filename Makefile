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

# The bundled sample gel (dark bands, eight lanes, lane 1 a ladder in kDa):
# analysed, its report printed as TSV, the analysis saved beside it.
SAMPLE_ANALYSIS = --dark --area 30,20,740,575 --example-band 140,171,70,18 \
	--wells 40 --dye-front 585 --slider 100 \
	--ladder-lane 1 --ladder 250,150,100,75,50,37,25,20,15,10 --mw-curve cubic

run: build
	./$(BUILD_DIR)/bin/densora-cli analyze $(BUILD_DIR)/samples/sample-gel.tif \
		$(SAMPLE_ANALYSIS) --save $(BUILD_DIR)/sample-gel.dsr
	@echo "Saved the analysis as $(BUILD_DIR)/sample-gel.dsr" \
		"(reopen it: ./$(BUILD_DIR)/bin/densora-cli report $(BUILD_DIR)/sample-gel.dsr)"

clean:
	rm -rf $(BUILD_DIR)
