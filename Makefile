# Entry points for people and CI. `make` builds the product into dist/,
# `make run` starts it under Wine, `make test` runs every test of both builds.
JOBS ?= $(shell nproc)
MAKEFLAGS += --no-print-directory

.PHONY: all bootstrap build build-all native run test test-win32 test-native fuzz bench clean

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j$(JOBS) --target product

build-all: bootstrap
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j$(JOBS)

native: bootstrap
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j$(JOBS)

run: build
	@scripts/run-snapwell

test-win32: build-all
	@ctest --preset win32

test-native: native
	@ctest --preset native

test: bootstrap
	@$(MAKE) --no-print-directory test-native
	@$(MAKE) --no-print-directory test-win32

fuzz: bootstrap
	@scripts/fuzz

bench: bootstrap
	@scripts/bench

clean:
	rm -rf build dist
