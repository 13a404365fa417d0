# The two commands of the README: `make run` and `make test`.
# SANITIZE=1 builds and tests under AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE ?= 0
JOBS ?= $(shell nproc)
ifeq ($(SANITIZE),1)
BUILD ?= build-asan
BUILD_TYPE ?= Debug
else
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
endif
ARGS ?=
# `make run` starts on a sample phone kept in the build folder, so that trying the program never touches
# your own files; `make run ROOT=` starts on them (your home folder and removable media).
ROOT ?= $(BUILD)/sample-phone
MINUTES ?= 30
PREFIX ?= /usr/local

.PHONY: all bootstrap configure build run test soak fuzz bench install deb clean format

all: build

bootstrap:
	@bash scripts/bootstrap.sh

$(BUILD)/build.ninja: | bootstrap
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCORVANE_SANITIZE=$(SANITIZE) >/dev/null

configure: bootstrap $(BUILD)/build.ninja

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/corvane $(if $(ROOT),--root $(ROOT)) $(ARGS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

# Installs into PREFIX (DESTDIR is honoured for staging).
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, corvane_<version>_<arch>.deb, in the build folder.
deb: build
	@cd $(BUILD) && cpack -G DEB

# The no-loss test on new seeds for MINUTES minutes; its figures come at the end.
soak: build
	@cd $(BUILD) && CORVANE_SOAK_MINUTES=$(MINUTES) QT_QPA_PLATFORM=offscreen \
		./tests/test_noloss --gtest_filter='NoLossTest.NewSeedsForTheMinutesAsked'

fuzz: bootstrap
	@bash scripts/fuzz.sh

bench: build
	@bash scripts/bench.sh $(BUILD)

format:
	@find src platform tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-fuzz
