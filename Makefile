# Entry points for a fresh Debian 12 machine. Each target installs what is missing,
# configures, builds, then runs.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
# The interpreter whose packages the set-up installs (python3-openpyxl, -xlrd, -xlwt).
PYTHON ?= /usr/bin/python3
CMAKE_OPTIONS ?=

.PHONY: deps configure build demo test test-asan bench package clean

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPython3_EXECUTABLE=$(PYTHON) $(CMAKE_OPTIONS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	./scripts/demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORRA_SANITIZE=ON -DVORRA_BENCHMARKS=OFF -DPython3_EXECUTABLE=$(PYTHON) $(CMAKE_OPTIONS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package of the desktop version, in $(BUILD)/package.
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	./scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
