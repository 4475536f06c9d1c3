# SPDX-FileCopyrightText: 2026 Tabidori Project
# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the quick start: `make run` and `make test`.
BUILD ?= build
SANBUILD ?= build-sanitize
GEN := -G Ninja
export QT_QPA_PLATFORM ?= offscreen
export SDL_AUDIODRIVER ?= dummy

.PHONY: run test bench package deps deps-run configure program build build-sanitize check-commands \
        format-check unit unit-sanitize fuzz-smoke format sync-test

# Configured once; after that the build itself configures again when a CMakeLists.txt changes.
WERROR := $(if $(CI),-DTABIDORI_WERROR=ON)
CONFIGURE = test -f $(BUILD)/build.ninja || cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(WERROR) >/dev/null

# make run installs only what the game needs; everything else installs the test set as well.
deps-run:
	@scripts/install-deps run

deps:
	@scripts/install-deps test

configure: deps
	@$(CONFIGURE)

# Only what the game needs: the program and its data folders, no tests.
program: deps-run
	@$(CONFIGURE)
	@cmake --build $(BUILD) --target tabidori data_folders sound_folder

build: deps
	@$(CONFIGURE)
	@cmake --build $(BUILD)

# Every figure of the benchmark, built in release mode in build-bench/ (ARGS="--only 8" for one).
bench: deps
	@bench/run $(ARGS)

# A Debian package of the build, under build/.
package: build
	@cd $(BUILD) && LC_ALL=C.UTF-8 cpack

run: program
	env -u QT_QPA_PLATFORM -u SDL_AUDIODRIVER $(BUILD)/tabidori $(ARGS)

build-sanitize: deps
	@cmake -S . -B $(SANBUILD) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DTABIDORI_SANITIZE=ON $(WERROR) >/dev/null
	@cmake --build $(SANBUILD)

# Every command the scripts and tests call comes from a package install-deps installs.
check-commands: deps
	@scripts/check-commands

format-check: deps
	@scripts/format-check

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

unit: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

# The package and the install are made and checked once, from the plain build.
unit-sanitize: build-sanitize
	ctest --test-dir $(SANBUILD) --output-on-failure -j2 -E '^(package_test|install_test)$$'

# Each fuzz target for a minute, built with clang and the sanitizers.
fuzz-smoke: deps
	scripts/fuzz-smoke 60

# Two computers, one learner: a game on each of two copies of the program whose shared folder two
# Syncthing instances on 127.0.0.1 keep the same; each history must end with both games (about
# 35 s, 11 of 11 runs passed when it was written).
sync-test: program
	@scripts/install-deps sharing
	scripts/sync-e2e $(BUILD)/tabidori

# Everything CI checks: the commands' packages, formatting, the whole suite plain and under the
# sanitizers, two computers sharing through Syncthing, the fuzzers.
test: check-commands format-check unit sync-test unit-sanitize fuzz-smoke
