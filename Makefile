# Two commands on a fresh Debian 12 machine:
#   make run    installs what is missing, builds, starts the program
#   make test   the same set-up, then the whole suite inside a private sound server
BUILD ?= build
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Build and test dependencies (Debian package names).
PACKAGES := build-essential cmake pkg-config qt6-base-dev libgl-dev portaudio19-dev \
	libasound2-dev libfontconfig-dev libpulse-dev libpipewire-0.3-dev libasound2-plugins pulseaudio pulseaudio-utils fonts-liberation poppler-utils \
	desktop-file-utils appstream dpkg-dev pipewire pipewire-bin pipewire-pulse wireplumber dbus-daemon \
	xvfb xauth xdotool libpocketsphinx-dev pocketsphinx-en-us libspeexdsp-dev espeak-ng flite sox
# Only for regenerating committed assets (make recordings).
ASSET_PACKAGES := festival festvox-us-slt-hts sox python3
# Only for measuring (make bench): aplay as the reference player, strace to count connections,
# festival as one of the listening benches' voices.
BENCH_PACKAGES := alsa-utils strace festival festvox-us-slt-hts

.PHONY: all deps build run test check-sanitize package bench soak recordings images screenshots clean

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

# PipeWire's ALSA plugin, unpacked into the build folder: as a package it conflicts with pulseaudio.
PIPEWIRE_ALSA := $(abspath $(BUILD))/pipewire-alsa
$(PIPEWIRE_ALSA)/usr:
	mkdir -p $(PIPEWIRE_ALSA)
	cd $(PIPEWIRE_ALSA) && { apt-get download pipewire-alsa 2>/dev/null \
		|| { $(SUDO) apt-get update -qq && apt-get download pipewire-alsa; }; } && dpkg-deb -x pipewire-alsa_*.deb .

# Everything against PulseAudio; beside it, on servers of their own, the sound checks against
# PipeWire, reached through its ALSA plugin and through its PulseAudio service, while another
# client keeps coming and going, then the check from the microphone against PipeWire, whose rig's
# microphone holds its delay only while the graph is still; and the synthetic examinee on a
# PulseAudio rig of its own. The suite mostly waits on sound in real time, so the three lanes
# share the machine; each lane's report is printed as it ends. Last, alone, the notice's test on
# each route: it starves the whole machine's ordinary threads, which would put the digits of any
# test beside it off time.
export OVREL_PIPEWIRE_ALSA := $(PIPEWIRE_ALSA)
WITH_PIPEWIRE := ../tests/sound/with-private-pipewire.sh
test: build $(PIPEWIRE_ALSA)/usr
	@$(MAKE) --no-print-directory -j3 --output-sync=target test-on-pulse test-on-pipewire test-listening
	@$(MAKE) --no-print-directory test-starving

.PHONY: test-on-pulse test-on-pipewire test-listening test-starving
test-on-pulse:
	cd $(BUILD) && ../tests/sound/with-private-pulse.sh ctest --output-on-failure -j1 -LE 'pulse-route|still-graph|listening-rig|starves'
test-on-pipewire:
	cd $(BUILD) && $(WITH_PIPEWIRE) --churn ctest --output-on-failure -L 'sound-server|sound-check' -LE starves
	cd $(BUILD) && $(WITH_PIPEWIRE) --via-pulse --churn ctest --output-on-failure -L 'sound-server|pulse-route' -LE starves
	cd $(BUILD) && $(WITH_PIPEWIRE) ctest --output-on-failure -L still-graph
test-listening:
	cd $(BUILD) && ../tests/sound/with-private-pulse.sh ctest --output-on-failure -L listening-rig
test-starving:
	cd $(BUILD) && ../tests/sound/with-private-pulse.sh ctest --output-on-failure -L starves -LE pulse-route
	cd $(BUILD) && $(WITH_PIPEWIRE) --churn ctest --output-on-failure -L starves -LE pulse-route
	cd $(BUILD) && $(WITH_PIPEWIRE) --via-pulse --churn ctest --output-on-failure -L 'pulse-route' -L starves

# Whether the output ever takes a step in its stream's time reports for a hold-up it was not: on
# PulseAudio, on PipeWire's own stream and through PipeWire's PulseAudio service (the churning
# client on both), 100 demonstrations and 5 whole 1.2 s trials each with both cores busy, judged
# against the sink (about 30 minutes a route; SOAK_ARGS="--demos 20 --trials 1" for a shorter
# look, --plant to plant a false step in every run). The time reports of each run that went wrong
# go to $(BUILD)/soak-traces/. Not part of `make test`.
soak: build $(PIPEWIRE_ALSA)/usr
	cmake --build $(BUILD) --target slip_soak
	for server in ../tests/sound/with-private-pulse.sh "$(WITH_PIPEWIRE) --churn" "$(WITH_PIPEWIRE) --via-pulse --churn"; do \
		(cd $(BUILD) && QT_QPA_PLATFORM=offscreen $$server bench/slip_soak $(SOAK_ARGS)) || exit 1; done

# The Debian package, built with CPack in the build folder.
package: build
	@$(MAKE) --no-print-directory deps PACKAGES="dpkg-dev"
	cd $(BUILD) && cpack -G DEB

# The engine, the scoring and the stored settings under AddressSanitizer and
# UndefinedBehaviorSanitizer (clang), a long random session and ten brisk trials with the real
# timer and sound among them, the random session through every window of the real program (its
# seed printed), then the libFuzzer targets for a bounded time.
SAN_BUILD ?= build-sanitize
SAN_TESTS := tst_mainwindow tst_runengine tst_deliverynotice tst_timingcheck tst_timingcheckresult tst_scoringdialog \
	tst_scorecomputation tst_mastervolume tst_digitplayer tst_endtoend tst_deliverynoticeonserver tst_timingcheckclose tst_randomsession \
	tst_soundroute tst_recordsheet tst_recordsheetwindow tst_listenbar tst_answerlistener tst_speechonsets tst_echoremover
# The random session through every window, for about two minutes there (20 s in `make test`).
RANDOM_SECONDS ?= 120
FUZZ_SECONDS ?= 60
check-sanitize: deps
	@$(MAKE) --no-print-directory deps PACKAGES="clang-14 libclang-rt-14-dev"
	CC=clang CXX=clang++ cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVREL_SANITIZE=ON -DOVREL_FUZZ=ON
	ASAN_OPTIONS=detect_leaks=0 cmake --build $(SAN_BUILD) -j$(JOBS) --target $(SAN_TESTS) fuzz_rawscore fuzz_volume
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 OVREL_RANDOM_SECONDS=$(RANDOM_SECONDS) \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		../tests/sound/with-private-pulse.sh ctest --output-on-failure -R '^($(subst $(eval) ,|,$(SAN_TESTS)))$$'
	mkdir -p $(SAN_BUILD)/corpus/rawscore $(SAN_BUILD)/corpus/volume
	$(SAN_BUILD)/tests/fuzz/fuzz_rawscore -max_total_time=$(FUZZ_SECONDS) -max_len=64 $(SAN_BUILD)/corpus/rawscore
	$(SAN_BUILD)/tests/fuzz/fuzz_volume -max_total_time=$(FUZZ_SECONDS) -max_len=256 $(SAN_BUILD)/corpus/volume

# Timing of the digit onsets on PulseAudio and on PipeWire (with another client coming and
# going), idle and with both cores loaded (about 40 minutes; BENCH_ARGS=--quick for the
# demonstration and the 1.2 s trial only; --stall to starve the audio thread once per trial;
# --freeze to stop the sound server with it). Then, on each server, what the program costs the
# desktop: start-up and memory beside a bare Qt window and beside a plain Qt window with the same
# widgets, idle wakeups, and a trial beside aplay (about 5 minutes each; COST_ARGS=--quick for a
# shorter look). Last, on each server and route, how
# often the notice after a run is right: 20 clean demonstrations and 5 of each planted fault
# (about 6 minutes each; NOTICE_ARGS="--runs 4" for a shorter look). Then whether a native PipeWire
# stream's time reports show the server holding the sound back, three times; the timing check
# beside an outside recording, from the speakers on each server and route, and from the rig's
# microphone on PulseAudio and on PipeWire without the churn (its loopback cannot be trusted with it) (about 4 minutes each); last, the timing check's judgement with room noise and
# reverberation added (no sound server). Then the listening benches, offline, and the real
# program's trial with a synthetic examinee answering on the PulseAudio rig, three voices at both
# paces in three conditions (about 35 minutes; LISTEN_ARGS=--quick for one 1.2 s row).
bench: build $(PIPEWIRE_ALSA)/usr
	@$(MAKE) --no-print-directory deps PACKAGES="$(BENCH_PACKAGES)"
	cmake -S . -B $(BUILD) >/dev/null
	cmake --build $(BUILD) --target onset_timing desktop_cost bare_window same_widgets_window notice_accuracy pipewire_time check_accuracy
	for server in ../tests/sound/with-private-pulse.sh "$(WITH_PIPEWIRE) --churn"; do for load in "" --load; do \
		(cd $(BUILD) && QT_QPA_PLATFORM=offscreen $$server bench/onset_timing $$load $(BENCH_ARGS)) || exit 1; done; done
	for server in ../tests/sound/with-private-pulse.sh "$(WITH_PIPEWIRE) --churn"; do \
		(cd $(BUILD) && QT_QPA_PLATFORM=offscreen $$server bench/onset_timing --quick --typing) || exit 1; done
	for server in ../tests/sound/with-private-pulse.sh "$(WITH_PIPEWIRE) --churn"; do \
		(cd $(BUILD) && QT_QPA_PLATFORM=offscreen $$server bench/desktop_cost src/app/ovrel bench/bare_window bench/same_widgets_window $(COST_ARGS)) || exit 1; done
	for server in ../tests/sound/with-private-pulse.sh "$(WITH_PIPEWIRE) --churn" "$(WITH_PIPEWIRE) --via-pulse --churn"; do \
		(cd $(BUILD) && QT_QPA_PLATFORM=offscreen $$server bench/notice_accuracy $(NOTICE_ARGS)) || exit 1; done
	for run in 1 2 3; do (cd $(BUILD) && $(WITH_PIPEWIRE) --churn bench/pipewire_time) || exit 1; done
	for server in ../tests/sound/with-private-pulse.sh $(WITH_PIPEWIRE) "$(WITH_PIPEWIRE) --churn" \
		"$(WITH_PIPEWIRE) --via-pulse --churn"; do \
		(cd $(BUILD) && QT_QPA_PLATFORM=offscreen $$server bench/check_accuracy) || exit 1; done
	cmake --build $(BUILD) --target locator_noise && QT_QPA_PLATFORM=offscreen $(BUILD)/bench/locator_noise
	cmake --build $(BUILD) --target listening_onsets && $(BUILD)/bench/listening_onsets
	cmake --build $(BUILD) --target recogniser_accuracy && $(BUILD)/bench/recogniser_accuracy
	cmake --build $(BUILD) --target listening_trial && (cd $(BUILD) && QT_QPA_PLATFORM=offscreen \
		../tests/sound/with-private-pulse.sh bench/listening_trial $(LISTEN_ARGS))

recordings:
	@$(MAKE) deps PACKAGES="$(ASSET_PACKAGES)"
	tools/make-recordings.sh

images: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) --target make_images
	mkdir -p resources/gif resources/images resources/icons
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/images/make_images resources

screenshots: build
	@$(MAKE) deps PACKAGES="xvfb xauth"
	cmake --build $(BUILD) --target make_screenshots
	BUILD=$(abspath $(BUILD)) tools/make-screenshots.sh

clean:
	rm -rf $(BUILD)
