# Thin wrappers over scripts/ and CMake. `make run` and `make test` install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
PREFIX     ?= /usr/local
CMAKE_FLAGS = -G Ninja -DQUENTERRA_WERROR=ON

# The sources that clang-format keeps in the layout of .clang-format.
FORMAT_SOURCES = $(shell find src tests bench -name '*.cpp' -o -name '*.h')

.PHONY: all setup build run install test format format-check bench fuzz clean

all: build

setup:
	@scripts/setup

build: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD)

run: build
	@scripts/run-sample $(BUILD)

# `make install PREFIX=~/.local` puts quenterra-cli (and quenterra with its manual) in PREFIX/bin.
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

test: build format-check
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DQUENTERRA_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD)
	cd $(BUILD) && ctest --output-on-failure -j2
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j2

format: setup
	@clang-format -i $(FORMAT_SOURCES)

format-check: setup
	@clang-format --dry-run --Werror $(FORMAT_SOURCES) || \
	  { echo "make format-check: run 'make format' to lay these files out" >&2; exit 1; }

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
