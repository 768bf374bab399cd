# The two everyday commands: `make test` and `make run`.
BUILD_DIR ?= build
JOBS ?= 2

.PHONY: all deps configure build test run screenshots install clean test-asan asan-build fuzz fuzz-build fuzz-corpus monkey monkey-asan

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

# Both programs with their libraries, help page, launcher, file types, icons,
# metainfo and manual pages under PREFIX; DESTDIR stages the tree for a package.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The main window's states as PNG files in build/screenshots/.
screenshots: build
	cd $(BUILD_DIR) && ctest -R DensoraScreenshots --output-on-failure

# The monkey test of the main window at full length (`make test` runs 1,000
# actions): MONKEY_ACTIONS random actions from seed MONKEY_SEED.
MONKEY_ACTIONS ?= 10000
MONKEY_SEED ?= 20261209
MONKEY_RUN = QT_QPA_PLATFORM=offscreen DENSORA_MONKEY_ACTIONS=$(MONKEY_ACTIONS) \
	DENSORA_MONKEY_SEED=$(MONKEY_SEED) ./bin/DensoraAppTests --gtest_filter='MonkeyTest.*'
monkey: build
	cd $(BUILD_DIR) && $(MONKEY_RUN)

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer
# in a folder of its own; the first error ends the program that has it.
ASAN_DIR ?= build-asan
SANITIZER_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:allocator_may_return_null=1:strict_string_checks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt

# Optimised lightly with line tables only: the checks find the same faults and
# the build takes far less time than the everyday one's -O2 -g.
ASAN_FLAGS = -O1 -g1 -DNDEBUG
asan-build: deps
	@if [ ! -f $(ASAN_DIR)/build.ninja ]; then \
		cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDENSORA_SANITIZE=ON \
			-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$(ASAN_FLAGS)" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$(ASAN_FLAGS)"; \
	fi
	cmake --build $(ASAN_DIR) -j$(JOBS)

test-asan: asan-build
	cd $(ASAN_DIR) && $(SANITIZER_ENV) ctest --output-on-failure -j$(JOBS)

# The monkey test at full length in the sanitizer build.
monkey-asan: asan-build
	cd $(ASAN_DIR) && $(SANITIZER_ENV) $(MONKEY_RUN)

# The readers under libFuzzer (clang), built in their own folder; each target
# runs FUZZ_SECONDS seconds from its seed corpus in fuzz/corpus/<target>.
# Not part of `make test`.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

fuzz-build:
	@./scripts/install-deps.sh --fuzz
	@if [ ! -f $(FUZZ_DIR)/build.ninja ]; then \
		CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja \
			-DCMAKE_BUILD_TYPE=RelWithDebInfo -DDENSORA_FUZZ=ON; \
	fi
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target fuzzers

fuzz: fuzz-build
	$(SANITIZER_ENV) ./fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# Rewrites the seed corpora from the programs' own writers.
fuzz-corpus: fuzz-build
	rm -rf fuzz/corpus && ASAN_OPTIONS=detect_leaks=0 $(FUZZ_DIR)/bin/MakeFuzzCorpus fuzz/corpus

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
