# Thin wrapper over CMake.  `make test` builds and runs the suite twice: an optimised g++
# build, then a clang build under AddressSanitizer + UndefinedBehaviorSanitizer that also
# replays the fuzz regressions and runs each fuzz target for a minute.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
DEMO_MOVIE ?= $(BUILD)/examples/demo.swf
DEMO_OUT ?= out/demo

.PHONY: all deps build build-asan test test-fast test-asan test-windows windows bench demo gstreamer conformance format clean fuzz

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSWF_SANITIZE=ON -DSWF_BUILD_BENCH=OFF \
		-DCMAKE_CXX_COMPILER=clang++ -DSWF_FUZZ=ON -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)
	sh scripts/fuzz.sh $(ASAN_BUILD) 60 smoke

# The fuzz targets, FUZZ_SECONDS each (README, "Fuzzing"): make fuzz FUZZ_SECONDS=1800
FUZZ_SECONDS ?= 600
fuzz: build-asan
	sh scripts/fuzz.sh $(ASAN_BUILD) $(FUZZ_SECONDS)

# The Windows plug-in, cross-built, with the host tests under Wine.
windows: build
	LINUX_BUILD=$(BUILD) sh scripts/windows.sh

test-windows: windows

test: test-fast test-asan test-windows

bench: build
	$(BUILD)/bench/swf_bench --benchmark_counters_tabular=true

# Renders the demo movie (written by the build) to PNG frames and a contact sheet.
demo: build
	$(BUILD)/tools/swfframes render $(DEMO_MOVIE) -o $(DEMO_OUT)
	$(BUILD)/tools/swfframes sheet $(DEMO_MOVIE) $(DEMO_OUT)/sheet.png
	@echo "Demo pictures: $(DEMO_OUT)/demo-*.png, contact sheet $(DEMO_OUT)/sheet.png"

# The GStreamer element swfplugindec (tools/gstreamer) and the plug-in library it loads.
# Configures again so that GStreamer packages installed since are found.
gstreamer: deps $(BUILD)/CMakeCache.txt
	cmake -S . -B $(BUILD) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target gstswfplugin swfplugin
	@echo "GStreamer element: $(BUILD)/tools/gstreamer/libgstswfplugin.so"
	@echo "Use it with: export GST_PLUGIN_PATH=$(CURDIR)/$(BUILD)/tools/gstreamer"

# Real movies against their reference pictures: writes docs/conformance.md from the
# verdict table and fails when a verdict no longer holds.
conformance: build
	cd $(BUILD)/tests && SWF_CONFORMANCE_REPORT=$(CURDIR)/docs/conformance.md ./conformance_tests

format:
	find platform include base graphics swf shapes raster bridge util plugin tools tests bench examples \
		-name '*.h' -o -name '*.cpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-windows
