# The two set-up commands of the README: `make run` and `make test`.
PRESET ?= release
BUILD_DIR := build/$(PRESET)
FILE ?=

.PHONY: run test test-asan deps build bench fuzz format clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/bin/dovazov $(if $(FILE),"$(FILE)")

test: build
	ctest --preset $(PRESET)

# The tests again under the address and undefined-behaviour sanitizers: a memory fault fails.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	@for b in build/bench/bin/bench_*; do echo "== $$b"; $$b; done

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
