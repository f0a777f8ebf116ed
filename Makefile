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

.PHONY: deps deps-run deps-package configure build run test check sanitize fuzz bench screenshot \
	startup-bench package package-check clean

# Everything that any target needs; `make run` and `make package` need less.
deps:
	@scripts/install-deps.sh test

deps-run:
	@scripts/install-deps.sh run

deps-package:
	@scripts/install-deps.sh package

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
# UndefinedBehaviorSanitizer, the Debian package built from scratch and
# checked, then the suite of the normal build, whose summary closes the output.
test: fuzz sanitize package-check check

check: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) $(CMAKE_QUIET) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_SANITIZE=ON \
		-DORVANE_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

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

screenshot: build
	@scripts/screenshot.sh $(BUILD)/app/orvane docs/screenshot.png

# How long the window takes to appear, against a bare Qt window (X map event).
startup-bench: build
	@scripts/startup-bench.sh $(BUILD) 40

# The Debian package orvane_<version>_<arch>.deb, in this folder. Its own
# build folder holds only what goes into it (no tests, no benchmarks), with
# Debian's hardening flags, as a distribution would build it (less the debug
# information, which would only be stripped again).
package: deps-package
	@export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP=-g; \
		CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
		LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
		cmake -S . -B $(PKG_BUILD) $(CMAKE_QUIET) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
		-DORVANE_BUILD_BENCH=OFF
	@cmake --build $(PKG_BUILD) -j $(JOBS)
	@rm -f $(PKG_BUILD)/orvane_*.deb
	@cd $(PKG_BUILD) && cpack -G DEB >/dev/null
	@cp $(PKG_BUILD)/orvane_*.deb .
	@echo "Built $$(cd $(PKG_BUILD) && ls orvane_*.deb)"

# The package from a clean tree, then lintian, its contents and its program.
package-check: deps
	@rm -rf $(PKG_BUILD)
	@$(MAKE) --no-print-directory package
	@scripts/check-package.sh $$(ls $(PKG_BUILD)/orvane_*.deb)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PKG_BUILD) orvane_*.deb
