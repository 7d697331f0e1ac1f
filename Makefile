# make run: build and play. make test: build and run every test.
# make screenshots: save the puzzle as it starts, and solved, as docs/puzzle.png and
# docs/solved.png.
# make package: build the Debian package, build/knotwerry_VERSION_ARCH.deb.
# All first install any Debian package that is missing (tools/setup.sh).
# With CI set (as CI does), compiler warnings are errors.

BUILD := build
JOBS  := $(shell nproc)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)

.PHONY: run test screenshots package build setup clean

run: build
	@if [ -n "$$DISPLAY" ]; then \
	  $(BUILD)/knotwerry; \
	else \
	  echo "No display: playing on a private X server, saving $(BUILD)/screenshot.png"; \
	  $(BUILD)/tools/snap $(BUILD)/screenshot.png $(BUILD)/knotwerry; \
	fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# Read only when the screenshots are made.
SOLUTION = $(shell grep -v '^\#' tests/data/solution.txt | tr ' ' ',')

screenshots: build
	$(BUILD)/tools/snap docs/puzzle.png $(BUILD)/knotwerry
	$(BUILD)/tools/snap docs/solved.png $(BUILD)/knotwerry $(SOLUTION)

package: build
	cmake --build $(BUILD) --target package

build: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

setup:
	@tools/setup.sh

clean:
	rm -rf $(BUILD)
