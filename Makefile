# SPDX-License-Identifier: MIT
# Everything a fresh machine needs: `make run` starts the program, `make test` runs every test.
BUILD        ?= build
ASAN_BUILD   ?= build-asan
FUZZ_BUILD   ?= build-fuzz
PKG_BUILD    ?= build-package
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 60
FUZZ_ABORT_SLOW ?= 0
CMAKE_QUIET  := -Wno-dev --log-level=WARNING
SHELL        := bash
.SHELLFLAGS  := -o pipefail -c

.PHONY: deps deps-run deps-package deps-cross configure build run test test-stages check sanitize fuzz \
	cross bench screenshot startup-bench package package-check test-debian13 prepare-debian13 \
	test-debian-testing clean

# Everything that any target needs; `make run` and `make package` need less.
deps:
	@scripts/install-deps.sh test

deps-run:
	@scripts/install-deps.sh run

deps-package:
	@scripts/install-deps.sh package

deps-cross:
	@scripts/install-deps.sh cross

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_QUIET) -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
		-DBUILD_TESTING=ON -DORVANE_BUILD_BENCH=ON

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the program: neither the test libraries nor the benchmark library are
# needed, so the same build folder is configured without them.
run: deps-run
	@cmake -S . -B $(BUILD) $(CMAKE_QUIET) -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
		-DBUILD_TESTING=OFF -DORVANE_BUILD_BENCH=OFF
	@cmake --build $(BUILD) -j $(JOBS) --target orvane
	@scripts/run-app.sh $(BUILD)/app/orvane

# Every test: a short fuzz run, the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the engine on other processors, the Debian
# package built from scratch and checked (and cross-built), on Debian 12 all
# of it again in a Debian 13 root (but for the other processors, which need
# no second run), then the suite of the normal build, whose summary closes
# the output. All of it beside another X server, on display 0 where free.
OS_VERSION   := $(shell . /etc/os-release 2>/dev/null && echo $$VERSION_ID)
OTHER_RELEASES ?= $(if $(filter 12,$(OS_VERSION)),test-debian13)
CROSS_STAGE  ?= cross
CROSS_PACKAGE ?= arm64
test: deps
	@tests/desktop/beside-another-x.sh $(MAKE) --no-print-directory test-stages

test-stages: $(if $(OTHER_RELEASES),prepare-debian13) fuzz sanitize $(CROSS_STAGE) package-check $(OTHER_RELEASES) check

check: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The three longest comparisons with the literal evaluation take two of the
# stage's minutes when sanitized; the fuzzer, sanitized too, runs texts as
# long as theirs, and the normal build runs them.
SANITIZE_SKIP ?= ^Reference\.(LongestTextsAgree|NestedCopiesAgree|PassesLeftCheckTheLength)$$
sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_QUIET) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_SANITIZE=ON \
		-DORVANE_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -E '$(SANITIZE_SKIP)'

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_QUIET) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DORVANE_FUZZ=ON -DORVANE_SANITIZE=ON -DORVANE_BUILD_UI=OFF -DBUILD_TESTING=OFF -DORVANE_BUILD_BENCH=OFF
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_engine
	@mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/slow && cp tests/fuzz/corpus/* $(FUZZ_BUILD)/corpus/
	@ORVANE_SLOW_DIR=$(FUZZ_BUILD)/slow ORVANE_ABORT_SLOW=$(FUZZ_ABORT_SLOW) \
		$(FUZZ_BUILD)/tests/fuzz/fuzz_engine $(FUZZ_BUILD)/corpus -max_total_time=$(FUZZ_SECONDS) -max_len=98304 \
		-timeout=10 -rss_limit_mb=4096 -artifact_prefix=$(FUZZ_BUILD)/ -print_final_stats=1 2>&1 \
		| grep -v '^slow input:' | tail -n 12
	@echo "fuzz: $(FUZZ_SECONDS) s, no crash, hang or leak;" \
		"$$(ls $(FUZZ_BUILD)/slow | wc -l) slow input(s) over 80 ms (sanitized) in $(FUZZ_BUILD)/slow"

# The machine's speed drifts for seconds at a time, so each benchmark runs
# nine times, interleaved with the others, and the medians are reported.
BENCH_FLAGS ?= --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true \
	--benchmark_min_time=0.2 --benchmark_report_aggregates_only=true

bench: build
	@$(BUILD)/bench/orvane_bench $(BENCH_FLAGS)
	@$(BUILD)/bench/orvane_term_bench $(BENCH_FLAGS)

# The static review: clazy (levels 0-2) over the whole build and clang-tidy
# (.clang-tidy) over the sources; lists every finding, fails if there is one.
# By hand only: neither `make test` nor CI runs it.
LINT_BUILD   ?= build-lint
.PHONY: lint
lint:
	@JOBS=$(JOBS) tools/lint.sh $(LINT_BUILD)

screenshot: build
	@scripts/screenshot.sh $(BUILD)/app/orvane docs/screenshot.png

# How long the window takes to appear, against a bare Qt window (X map event).
startup-bench: build
	@scripts/startup-bench.sh $(BUILD) 40

# The Debian source package and its binary packages, built by
# dpkg-buildpackage from a copy of this tree in $(PKG_BUILD)/, as a
# distribution builds them (debian/); the program's package is copied here.
# ORVANE_MAINTAINER="Name <mail>" and ORVANE_HOMEPAGE=URL replace the
# placeholder addresses; DEB_BUILD_OPTIONS is honoured.
package: deps-package
	@scripts/build-package.sh $(PKG_BUILD)
	@cp $(PKG_BUILD)/orvane_*.deb .
	@echo "Built $$(cd $(PKG_BUILD) && ls orvane_*.dsc orvane*.deb | paste -sd' ')"

# The packages from a clean clone: lintian, a second identical build, their
# contents, then installed, tested with autopkgtest and purged.
package-check: deps
	@ORVANE_CROSS_PACKAGE=$(CROSS_PACKAGE) scripts/check-package.sh

# The engine, its tests and orvane-eval built for i386, armhf and s390x and
# run under qemu-user: the same answers as this machine's, byte for byte.
cross: deps deps-cross
	@scripts/cross-check.sh

# The whole suite again in a fresh Debian 13 root (debootstrap; the root and
# its packages are kept under /var/cache/orvane). On Debian 12, `make test`
# includes it; Debian testing is `make test-debian-testing`, by hand.
# There the fuzzer runs shorter: what differs is the compiler that builds it.
test-debian13: deps
	@scripts/in-debian-root.sh trixie make test CROSS_STAGE= CROSS_PACKAGE= FUZZ_SECONDS=20

# Making the Debian 13 root waits mostly on the archive, so as root `make
# test` starts it at once in the background; test-debian13 waits for it (a
# lock) and makes it itself if that failed. Its log: /var/cache/orvane.
ROOT_CACHE ?= $(or $(ORVANE_ROOT_CACHE),/var/cache/orvane)
prepare-debian13: deps
	@if [ "$$(id -u)" -eq 0 ]; then mkdir -p $(ROOT_CACHE); \
		(scripts/in-debian-root.sh trixie --prepare >$(ROOT_CACHE)/trixie.prepare.log 2>&1 &); sleep 2; fi

test-debian-testing: deps
	@scripts/in-debian-root.sh testing make test CROSS_STAGE= CROSS_PACKAGE=

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PKG_BUILD) build-cross orvane_*.deb
