# make run: build and play. make test: build and run every test.
# make screenshots: save the puzzle as it starts, and solved, as docs/puzzle.png and
# docs/solved.png, and the worked example of one press as docs/example.png.
# make test-sanitized: build everything again with AddressSanitizer and
# UndefinedBehaviorSanitizer in build/sanitize, and run the unit and end-to-end tests.
# make package: build the Debian package, build/knotwerry_VERSION_ARCH.deb.
# make bench: time start-up, a frame, a press and grid sizing against their floors, and
# write the table to build/bench.md (docs/performance.md says what bounds each).
# make web: build the program as a web page in build/web; make web-run serves it on
# 127.0.0.1; make test-web plays it in Chromium and Firefox. Their own Debian packages
# (Emscripten, Chromium, Firefox) come from web/setup.sh, which only they run.
# make windows: cross-build build/windows/knotwerry.exe with mingw-w64, its zip and its
# installer. make test-windows: run them under Wine on private X servers.
# All first install any Debian package that is missing (tools/setup.sh; the Windows
# targets tools/windows_setup.sh too).
# With CI set (as CI does), compiler warnings are errors.

BUILD := build
JOBS  := $(shell nproc)
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)

.PHONY: run test test-sanitized screenshots package bench build setup clean \
        windows test-windows windows-setup

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

# The package is built apart, with the tests off and the Debian layout, dated by the
# last commit unless SOURCE_DATE_EPOCH says otherwise, so that any clone of one commit
# makes the same bytes.
PACKAGE_BUILD := $(BUILD)/package
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
ifneq ($(SOURCE_DATE_EPOCH),)
export SOURCE_DATE_EPOCH
endif

package: setup
	cmake -S . -B $(PACKAGE_BUILD) $(CMAKE_FLAGS) -DBUILD_TESTING=OFF -DKNOTWERRY_DEBIAN_LAYOUT=ON
	cmake --build $(PACKAGE_BUILD) -j$(JOBS)
	rm -f $(BUILD)/knotwerry_*.deb
	cd $(PACKAGE_BUILD) && cpack
	cp $(PACKAGE_BUILD)/knotwerry_*.deb $(BUILD)/

bench: build
	@test -x $(BUILD)/bench/benchrun || \
	  { echo "make bench needs Google Benchmark (libbenchmark-dev), which is not installed"; exit 1; }
	$(BUILD)/bench/benchrun $(BUILD)/bench.md

build: setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

setup:
	@tools/setup.sh

# The web build is a CMake project of its own (web/), configured with emcmake; it uses
# embed_table from the native build. Debian's emcc needs Debian's node modules.
WEB := $(BUILD)/web
WEB_ENV := NODE_PATH=/usr/share/nodejs

.PHONY: web web-run test-web

web: build
	@web/setup.sh
	$(WEB_ENV) emcmake cmake -S web -B $(BUILD)/web-build -DCMAKE_BUILD_TYPE=Release \
	  -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF) -DEMBED_TABLE=$(CURDIR)/$(BUILD)/embed_table \
	  -DSOLVED_PRINT=$(CURDIR)/$(BUILD)/tools/solved_print \
	  -DWEB_OUT=$(CURDIR)/$(WEB)
	$(WEB_ENV) cmake --build $(BUILD)/web-build -j$(JOBS)

web-run: web
	/usr/bin/python3 web/serve.py $(WEB)

test-web: web
	@web/setup.sh test
	cmake -S web/tests -B $(BUILD)/web-tests -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)
	cmake --build $(BUILD)/web-tests -j$(JOBS)
	/usr/bin/python3 web/tests/play_page.py --site $(WEB) --checker $(BUILD)/web-tests/picture_check
# The Windows build: freeglut and GLEW cross-built once into build/windows-deps, the
# build-time tools from the native build.
WINDOWS := $(BUILD)/windows
WINDOWS_FLAGS := -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/windows/mingw-w64.cmake \
  -DKNOTWERRY_NATIVE_BUILD=$(CURDIR)/$(BUILD) -DKNOTWERRY_WINDOWS_DEPS=$(CURDIR)/$(BUILD)/windows-deps \
  -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)

windows: build windows-setup
	tools/windows_deps.sh $(BUILD)/windows-deps
	cmake -S windows -B $(WINDOWS) $(WINDOWS_FLAGS)
	cmake --build $(WINDOWS) -j$(JOBS)
	cd $(WINDOWS) && cpack -G ZIP && cpack -G NSIS

test-windows: windows
	cmake -S tests/windows -B $(BUILD)/windows-tests -DKNOTWERRY_WINDOWS_BUILD=$(CURDIR)/$(WINDOWS) \
	  -DKNOTWERRY_WERROR=$(if $(CI),ON,OFF)
	cmake --build $(BUILD)/windows-tests -j$(JOBS)
	ctest --test-dir $(BUILD)/windows-tests --output-on-failure -j$(JOBS)

windows-setup:
	@tools/windows_setup.sh

clean:
	rm -rf $(BUILD)
