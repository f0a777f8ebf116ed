# Everything a fresh machine needs: `make run` starts the program, `make test` runs every test.
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: deps build run test bench clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-app.sh $(BUILD)/app/orvane

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	@$(BUILD)/bench/orvane_bench

clean:
	rm -rf $(BUILD)
