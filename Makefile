# make run: build and play. make test: build and run every test.
# make screenshot: save the first frame as docs/screenshot.png.
# All first install any Debian package that is missing (tools/setup.sh).
# With CI set (as CI does), compiler warnings are errors.

BUILD := build
JOBS  := $(shell nproc)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)

.PHONY: run test screenshot build setup clean

run: build
	@if [ -n "$$DISPLAY" ]; then \
	  $(BUILD)/knotwerry; \
	else \
	  echo "No display: playing on a private X server, saving $(BUILD)/screenshot.png"; \
	  $(BUILD)/tools/snap $(BUILD)/screenshot.png $(BUILD)/knotwerry; \
	fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

screenshot: build
	$(BUILD)/tools/snap docs/screenshot.png $(BUILD)/knotwerry

build: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

setup:
	@tools/setup.sh

clean:
	rm -rf $(BUILD)
