# Two commands on a fresh Debian 12 machine:
#   make run    installs what is missing, builds, starts the program
#   make test   the same set-up, then the whole suite inside a private sound server
BUILD ?= build
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Build and test dependencies (Debian package names).
PACKAGES := build-essential cmake pkg-config qt6-base-dev libgl-dev portaudio19-dev \
	libasound2-dev libasound2-plugins pulseaudio pulseaudio-utils fonts-liberation poppler-utils
# Only for regenerating committed assets (make recordings).
ASSET_PACKAGES := festival festvox-us-slt-hts sox python3

.PHONY: all deps build run test bench recordings images screenshots clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
		| grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/src/app/ovrel

test: build
	cd $(BUILD) && ../tests/sound/with-private-pulse.sh ctest --output-on-failure -j1

# Timing of the digit onsets, idle and with both cores loaded (about 20 minutes; BENCH_ARGS=--quick
# for the demonstration and the 1.2 s trial only).
bench: build
	cmake --build $(BUILD) --target onset_timing
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ../tests/sound/with-private-pulse.sh bench/onset_timing $(BENCH_ARGS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ../tests/sound/with-private-pulse.sh bench/onset_timing --load $(BENCH_ARGS)

recordings:
	@$(MAKE) deps PACKAGES="$(ASSET_PACKAGES)"
	tools/make-recordings.sh

images: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target make_images
	mkdir -p resources/gif resources/images
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/images/make_images resources

screenshots: build
	@$(MAKE) deps PACKAGES="xvfb xauth"
	cmake --build $(BUILD) --target make_screenshots
	BUILD=$(abspath $(BUILD)) tools/make-screenshots.sh

clean:
	rm -rf $(BUILD)
