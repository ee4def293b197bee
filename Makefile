# make run    installs what is missing, builds, starts the console
# make test   installs what is missing, builds, runs every test
# make bench  installs what is missing, builds optimised, runs the benchmarks
BUILD ?= build
BENCH_BUILD ?= build-bench
CMAKE_FLAGS ?=

.PHONY: deps build run test bench clean

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

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)
