# Everything a fresh Debian 12 machine needs: `make run` plays, `make test` tests.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all build run test media bench screenshots deps clean

all: build

deps:
	@tools/setup-deps build

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Only the game itself: playing needs none of the tests built.
run: deps $(BUILD_DIR)/CMakeCache.txt
	cmake --build $(BUILD_DIR) -j $(JOBS) --target pelmak
	./$(BUILD_DIR)/pelmak

test:
	@tools/setup-deps test
	@$(MAKE) --no-print-directory build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 900

media: build
	@tools/setup-deps media
	tools/make-media

bench: build
	@tools/setup-deps test
	tools/run-bench

screenshots: build
	@tools/setup-deps test
	PELMAK_BUILD=$(abspath $(BUILD_DIR)) /usr/bin/python3 tools/screenshots.py

clean:
	rm -rf $(BUILD_DIR)
