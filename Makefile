# Front door: `make demo` runs the installer on the sample product, `make test` runs every test.
BUILD := build
JOBS  ?= $(shell nproc)

.PHONY: all setup configure build test demo fuzz clean $(filter bench-%,$(MAKECMDGOALS))

all: build

setup:
	@bash scripts/setup.sh

$(BUILD)/build.ninja: CMakeLists.txt cmake/mingw-w64.cmake
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release

configure: $(BUILD)/build.ninja

build: setup configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	@bash scripts/run-tests.sh

demo: setup configure
	@bash scripts/demo.sh

# An explicit rule for the requested benchmarks: make skips pattern rules for
# phony targets.
$(filter bench-%,$(MAKECMDGOALS)): setup configure
	@bash scripts/bench.sh $(@:bench-%=%)

fuzz: setup
	@bash scripts/fuzz.sh run

clean:
	rm -rf $(BUILD)
