# Modwright: the two everyday commands are `make run` and `make test`.
BUILD_DIR ?= build
FUZZ_DIR ?= build-fuzz
BENCH_DIR ?= build-bench
JOBS ?= 2
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test bench fuzz check-wine clean install deb

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/bin/modwright

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Benchmarks are measurements, never part of the test run.
bench: deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DMODWRIGHT_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./scripts/run-bench $(BENCH_DIR)

# Fuzz targets with libFuzzer and sanitizers, each for FUZZ_SECONDS.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMODWRIGHT_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	./scripts/run-fuzz $(FUZZ_DIR) $(FUZZ_SECONDS)

# Make! against Windows programs under wine in a throwaway prefix; needs wine and
# a MinGW cross compiler (exit 2 without them). Not part of `make test`.
check-wine: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target modwright-cli
	./scripts/check-wine $(BUILD_DIR)

# Installing and packaging: `make install PREFIX=...` (DESTDIR is honoured), and
# `make deb`, a Debian package whose Depends come from the built binaries.
PREFIX ?= /usr/local

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

deb: build
	@command -v dpkg-shlibdeps >/dev/null || { \
		if [ "$$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi; \
		DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends dpkg-dev; }
	cd $(BUILD_DIR) && cpack -G DEB --config CPackConfig.cmake

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR) $(BENCH_DIR)
