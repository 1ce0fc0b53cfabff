# Thin wrappers over scripts/ and CMake. `make run` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
CMAKE_FLAGS = -G Ninja -DQUENTERRA_WERROR=ON

.PHONY: all setup build run test bench fuzz clean

all: build

setup:
	@scripts/setup

build: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD)

run: build
	@scripts/run-sample $(BUILD)

test: build
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DQUENTERRA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD)
	cd $(BUILD) && ctest --output-on-failure -j2
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2

bench:
	@scripts/setup bench
	@cmake -S . -B $(BENCH_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release -DQUENTERRA_BENCH=ON >/dev/null
	@cmake --build $(BENCH_BUILD)
	@scripts/run-bench $(BENCH_BUILD)

fuzz:
	@scripts/setup fuzz
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENTERRA_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD)
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
