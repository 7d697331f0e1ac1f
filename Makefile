# make test: build and run every test.
# It first installs any Debian package that is missing (tools/setup.sh).
# With CI set (as CI does), compiler warnings are errors.

BUILD := build
JOBS  := $(shell nproc)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)

.PHONY: test build setup clean

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

build: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

setup:
	@tools/setup.sh

clean:
	rm -rf $(BUILD)
