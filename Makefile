# make run: build and play. make test: build and run every test.
# make screenshots: save the puzzle as it starts, and solved, as docs/puzzle.png and
# docs/solved.png, and the worked example of one press as docs/example.png.
# make test-sanitized: build everything again with AddressSanitizer and
# UndefinedBehaviorSanitizer in build/sanitize, and run the unit and end-to-end tests.
# make package: build the Debian package, build/knotwerry_VERSION_ARCH.deb.
# make bench: time start-up, a frame, a press and grid sizing against their floors, and
# write the table to build/bench.md (docs/performance.md says what bounds each).
# All first install any Debian package that is missing (tools/setup.sh).
# With CI set (as CI does), compiler warnings are errors.

BUILD := build
JOBS  := $(shell nproc)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)

.PHONY: run test test-sanitized screenshots package bench build setup clean

run: build
	@if [ -n "$$DISPLAY" ]; then \
	  $(BUILD)/knotwerry; \
	else \
	  echo "No display: playing on a private X server, saving $(BUILD)/screenshot.png"; \
	  $(BUILD)/tools/snap $(BUILD)/screenshot.png $(BUILD)/knotwerry; \
	fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# The sanitizers stop a process at their first report. A start-up that fails returns
# from main, and the leak check then sees what Mesa keeps; only the slow unwinder finds
# Mesa in those stacks for the suppressions to name, and it hangs a running program
# under llvmpipe, so those runs alone get it.
SANITIZER_ENV := LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1
ENDS_AT_START := 'RefusedGlew|WithoutADisplay'

test-sanitized: setup
	cmake -S . -B $(BUILD)/sanitize $(CMAKE_FLAGS) -DKNOTWERRY_SANITIZE=ON
	$(SANITIZER_ENV) cmake --build $(BUILD)/sanitize -j$(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(BUILD)/sanitize -L 'unit|e2e' -E $(ENDS_AT_START) \
	  --output-on-failure -j$(JOBS)
	$(SANITIZER_ENV) ASAN_OPTIONS=fast_unwind_on_malloc=0 \
	  ctest --test-dir $(BUILD)/sanitize -R $(ENDS_AT_START) --output-on-failure -j$(JOBS)

# Read only when the screenshots are made.
SOLUTION = $(shell grep -v '^\#' tests/data/solution.txt | tr ' ' ',')
# The worked example's press: slice 40, point 160.
EXAMPLE := 161,642

screenshots: build
	$(BUILD)/tools/snap docs/puzzle.png $(BUILD)/knotwerry
	$(BUILD)/tools/snap docs/solved.png $(BUILD)/knotwerry $(SOLUTION)
	$(BUILD)/tools/figure docs/example.png $(BUILD)/knotwerry $(EXAMPLE) $(SOLUTION)

package: build
	cmake --build $(BUILD) --target package

bench: build
	$(BUILD)/bench/benchrun $(BUILD)/bench.md

build: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

setup:
	@tools/setup.sh

clean:
	rm -rf $(BUILD)
