# A thin list of the builds that CMakePresets.json names. Each target first installs
# the Debian packages its role needs, when missing (tools/setup.sh ROLE).
#
#   make run              build the program and play (headless: save build/screenshot.png)
#   make test             build everything and run the Linux tests
#   make test-sanitized   the unit and end-to-end tests again under ASan and UBSan
#   make screenshots      the pictures in README and docs/, from the program's own frames
#   make bench            time start-up, a frame, a press and grid sizing (build/bench.md)
#   make package          the Debian package, build/knotwerry_VERSION_ARCH.deb
#   make web              the web page in build/web; make web-run serves it
#   make test-web         play the page in Chromium and Firefox
#   make windows          build/windows/knotwerry.exe, its zip and its installer
#   make test-windows     test them under Wine
#
# With CI set (as CI does), compiler warnings are errors.

JOBS   := $(shell nproc)
SETUP  := @tools/setup.sh
CONFIG := -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)

.PHONY: run build test test-sanitized screenshots bench package host-tools \
        web web-run test-web windows test-windows clean

# Playing builds the program alone, and snap too when there is no display to play on.
run:
	$(SETUP) play
	cmake --preset default $(CONFIG)
	cmake --build --preset default -j$(JOBS) --target knotwerry $(if $(DISPLAY),,snap)
	@if [ -n "$$DISPLAY" ]; then \
	  build/knotwerry; \
	else \
	  echo "No display: playing on a private X server, saving build/screenshot.png"; \
	  build/tools/snap build/screenshot.png build/knotwerry; \
	fi

build:
	$(SETUP) play
	cmake --preset default $(CONFIG)
	cmake --build --preset default -j$(JOBS)

test:
	$(SETUP) play test
	cmake --preset default $(CONFIG)
	cmake --build --preset default -j$(JOBS)
	ctest --preset default -j$(JOBS)

# The sanitizers stop a process at their first report. A start-up that fails returns
# from main, and the leak check then sees what Mesa keeps; only the slow unwinder finds
# Mesa in those stacks for the suppressions to name, and it hangs a running program
# under llvmpipe, so those runs alone get it (the test preset sanitize-failed-start).
test-sanitized:
	$(SETUP) play test
	cmake --preset sanitize $(CONFIG)
	cmake --build --preset sanitize -j$(JOBS)
	ctest --preset sanitize -j$(JOBS)
	ctest --preset sanitize-failed-start -j$(JOBS)

# Read only when the screenshots are made.
SOLUTION = $(shell grep -v '^\#' tests/data/solution.txt | tr ' ' ',')
# The worked example's press: slice 40, point 160.
EXAMPLE := 161,642

screenshots:
	$(SETUP) play
	cmake --preset default $(CONFIG)
	cmake --build --preset default -j$(JOBS) --target knotwerry snap figure first_step
	build/tools/snap docs/puzzle.png build/knotwerry
	build/tools/snap docs/solved.png build/knotwerry $(SOLUTION)
	build/tools/figure docs/example.png build/knotwerry $(EXAMPLE) $(SOLUTION)
	build/tools/first_step docs/first-step.png build/knotwerry $(SOLUTION)
	build/tools/figure --near-miss docs/near-miss.png build/knotwerry $(SOLUTION)

bench:
	$(SETUP) play test
	cmake --preset default $(CONFIG)
	cmake --build --preset default -j$(JOBS)
	@test -x build/bench/benchrun || \
	  { echo "make bench needs Google Benchmark (libbenchmark-dev), which is not installed"; exit 1; }
	build/bench/benchrun build/bench.md

# The package is dated by the last commit unless SOURCE_DATE_EPOCH says otherwise, so
# that any clone of one commit makes the same bytes.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

package:
	$(SETUP) play package
	cmake --preset package $(CONFIG)
	cmake --build --preset package -j$(JOBS)
	rm -f build/knotwerry_*.deb
	cpack --preset package
	cp build/package/knotwerry_*.deb build/

# The tools the cross builds run at build time, built for this machine.
host-tools:
	$(SETUP) play
	cmake --preset host-tools
	cmake --build --preset host-tools -j$(JOBS)

web: host-tools
	$(SETUP) web
	cmake --preset web $(CONFIG)
	cmake --build --preset web -j$(JOBS)

web-run: web
	/usr/bin/python3 web/serve.py build/web

# The page's tests live in the native build, pointed at build/web.
test-web: web
	$(SETUP) web-test
	cmake --preset default $(CONFIG)
	cmake --build --preset default -j$(JOBS) --target picture_check
	ctest --preset web

# freeglut and GLEW are cross-built once, into build/windows-deps.
windows: host-tools
	$(SETUP) windows
	tools/windows_deps.sh build/windows-deps
	cmake --preset windows $(CONFIG)
	cmake --build --preset windows -j$(JOBS)
	cpack --preset windows

# The Windows build's tests live in the native build, pointed at build/windows.
test-windows: windows
	$(SETUP) windows-test
	cmake --preset default $(CONFIG)
	cmake --build --preset default -j$(JOBS) --target wine_tests wine_startup
	ctest --preset windows -j$(JOBS)

clean:
	rm -rf build
