# make run    installs what is missing, builds, starts the console
# make test   installs what is missing, builds, runs every test
# make bench  installs what is missing, builds optimised, runs the benchmarks
# make windows cross-compiles the program for 32-bit Windows: build-win32/app/lumivane.exe
BUILD ?= build
BENCH_BUILD ?= build-bench
WIN_BUILD ?= build-win32
CMAKE_FLAGS ?=

.PHONY: deps build run test bench windows clean

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)

run: build
	@scripts/run-console $(BUILD)/app/lumivane

test: build
	@ctest --test-dir $(BUILD) --output-on-failure

bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_BUILD)
	@scripts/run-bench $(BENCH_BUILD)

windows:
	@scripts/install-deps --ci
	@cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DLUMIVANE_BUILD_GUI=OFF \
		-DLUMIVANE_BUILD_TESTS=OFF -DLUMIVANE_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WIN_BUILD) --target lumivane

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(WIN_BUILD)
