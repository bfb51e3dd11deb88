# Entry points for people and CI. `make` builds both Windows products into
# dist/win32 (the 32-bit program we ship) and dist/win64; `make run` starts
# the one this machine can run under Wine; `make test` runs every test set
# this machine can run (scripts/test-all says which and why). `make soak`
# (opt-in, minutes) runs the soak on the 64-bit build, or on the 32-bit one
# with `make soak SOAK_ARCH=win32`. `make dist` builds both and packs the
# release into dist/: a zip of each build and the installer (scripts/make-dist).
JOBS ?= $(shell nproc)
SOAK_ARCH ?= win64
SOAK_CYCLES ?= 1000
MAKEFLAGS += --no-print-directory

.PHONY: all bootstrap build build-win32 build-win64 native run test dist fuzz bench soak clean

all: build

bootstrap:
	@scripts/bootstrap

build-win32: bootstrap
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j$(JOBS) --target product

build-win64: bootstrap
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64 -j$(JOBS) --target product

build: build-win32 build-win64

native: bootstrap
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j$(JOBS)

run: build
	@scripts/run-snapwell

test: bootstrap
	@JOBS=$(JOBS) scripts/test-all

dist: build
	@scripts/make-dist

# make fuzz FUZZ_ARGS="--minutes 10 --keep" (see scripts/fuzz --help)
fuzz: bootstrap
	@scripts/fuzz $(FUZZ_ARGS)

bench: bootstrap
	@scripts/bench

soak: bootstrap
	@scripts/soak --arch $(SOAK_ARCH) --cycles $(SOAK_CYCLES)

clean:
	rm -rf build dist
