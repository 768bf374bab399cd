# The two everyday commands: `make test` and `make run`.
BUILD_DIR ?= build
JOBS ?= 2

.PHONY: all deps configure build test run screenshots clean

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

# With a display (X11, Wayland, or a Qt platform chosen in QT_QPA_PLATFORM)
# the desktop program opens the sample gel; without one the batch program
# analyses it, so the command does the main job on any machine.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
		echo "Starting Densora on $(BUILD_DIR)/samples/sample-gel.tif"; \
		./$(BUILD_DIR)/bin/Densora $(BUILD_DIR)/samples/sample-gel.tif; \
	else \
		echo "No display found (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset):" \
			"running the batch analysis of the sample gel instead."; \
		./$(BUILD_DIR)/bin/densora-cli analyze $(BUILD_DIR)/samples/sample-gel.tif \
			$(SAMPLE_ANALYSIS) --save $(BUILD_DIR)/sample-gel.dsr && \
		echo "Saved the analysis as $(BUILD_DIR)/sample-gel.dsr" \
			"(reopen it: ./$(BUILD_DIR)/bin/densora-cli report $(BUILD_DIR)/sample-gel.dsr)"; \
	fi

# The main window's states as PNG files in build/screenshots/.
screenshots: build
	cd $(BUILD_DIR) && ctest -R DensoraScreenshots --output-on-failure

clean:
	rm -rf $(BUILD_DIR)
