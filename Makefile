# Entry points for people and CI; CMake does the real work.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

# The version is CMake's project version; everything else reads it from there.
VERSION    := $(shell sed -n 's/^ *VERSION \([0-9.]*\)$$/\1/p' CMakeLists.txt | head -1)

WIN_BUILD  ?= build-win
CLI_BUILD  ?= build-cli
WINQT_BUILD ?= build-winqt
WEB_BUILD  ?= build-web
PORT       ?= 8000
# Debian's emscripten finds its node modules only there.
export NODE_PATH = /usr/share/nodejs

.PHONY: all deps configure build run test test-asan test-web test-windows windows web serve bench \
	package install format clean

all: build

deps:
	@sh scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/vesnor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	sh scripts/test-kernels.sh $(BUILD) $(JOBS)
	$(MAKE) --no-print-directory test-web
	$(MAKE) --no-print-directory test-asan

# The web edition: the engine built to WebAssembly, its check run under node, and the
# site driven in headless Chromium, its Save held to the desktop build's.
test-web: build web
	cd $(WEB_BUILD) && ctest --output-on-failure

# The site, built into $(WEB_BUILD)/site: a folder any static host can serve.
web:
	@sh scripts/install-deps.sh web
	emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DVESNOR_GUI=OFF \
		"-DCMAKE_CROSSCOMPILING_EMULATOR=node;--no-experimental-fetch" \
		-DVESNOR_DESKTOP_BIN=$(abspath $(BUILD))/bin
	cmake --build $(WEB_BUILD) -j $(JOBS)

serve: web
	@echo "Vesnor is served at http://127.0.0.1:$(PORT)/ (Ctrl+C stops it)"
	cd $(WEB_BUILD)/site && python3 -m http.server $(PORT) --bind 127.0.0.1

# The sanitizer build skips the benchmark and runs every test once more.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESNOR_SANITIZE=ON -DVESNOR_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The Qt-free part built for Windows with mingw-w64, its tests run under wine, and
# vesnor-convert.exe compared byte for byte with the Linux build.
test-windows:
	@sh scripts/install-deps.sh windows
	cmake -S . -B $(WIN_BUILD) -DCMAKE_BUILD_TYPE=Release -DVESNOR_GUI=OFF \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WIN_BUILD) -j $(JOBS)
	cmake -S . -B $(CLI_BUILD) -DCMAKE_BUILD_TYPE=Release -DVESNOR_GUI=OFF
	cmake --build $(CLI_BUILD) -j $(JOBS)
	WINEDEBUG=-all sh scripts/wine-session.sh sh -c \
		'cd $(WIN_BUILD) && ctest --output-on-failure && cd .. && \
		 sh tests/windows/compare.sh $(CLI_BUILD)/bin/vesnor-convert $(WIN_BUILD)/bin/vesnor-convert.exe && \
		 sh tests/windows/console.sh $(WIN_BUILD)/bin/vesnor-convert.exe'

# The whole program for Windows: Qt 6 base built once from Debian's source into
# ~/.cache/vesnor (about 25 minutes on two cores the first time, a line a minute
# while it builds), then vesnor.exe and vesnor-convert.exe, the whole test suite
# under wine, the zip (packed twice: the same bytes), the installer, the installer
# run silently under wine and undone, and the real window under wine on Xvfb.
# Each step runs only when the one before it passed.
WIN_NAME = vesnor-$(VERSION)-win64
windows:
	@sh scripts/install-deps.sh windows
	qt=$$(sh scripts/build-qt-windows.sh) && \
	cmake -S . -B $(WINQT_BUILD) -DCMAKE_BUILD_TYPE=Release -DVESNOR_BENCH=OFF \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVESNOR_MINGW_SHARED_RUNTIME=ON \
		-DCMAKE_PREFIX_PATH=$$qt -DQT_HOST_PATH=/usr \
		-DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake && \
	cmake --build $(WINQT_BUILD) -j $(JOBS) && \
	sh scripts/wine-session.sh sh scripts/windows-tests.sh $(WINQT_BUILD) $$qt && \
	sh scripts/windows-zip.sh $(WINQT_BUILD) $$qt $(WINQT_BUILD)/$(WIN_NAME).zip $(VERSION) && \
	cp $(WINQT_BUILD)/$(WIN_NAME).zip $(WINQT_BUILD)/first.zip && \
	sh scripts/windows-zip.sh $(WINQT_BUILD) $$qt $(WINQT_BUILD)/$(WIN_NAME).zip $(VERSION) >/dev/null && \
	cmp $(WINQT_BUILD)/first.zip $(WINQT_BUILD)/$(WIN_NAME).zip && rm $(WINQT_BUILD)/first.zip && \
	echo "the zip packed twice: the same bytes" && \
	sh scripts/windows-installer.sh $(WINQT_BUILD)/$(WIN_NAME) $(VERSION) \
		$(WINQT_BUILD)/$(WIN_NAME)-install.exe && \
	sh scripts/wine-session.sh sh tests/windows/installer.sh \
		$(WINQT_BUILD)/$(WIN_NAME)-install.exe $(VERSION) && \
	sh tests/windows/e2e-window.sh $(WINQT_BUILD)/$(WIN_NAME)

bench: build
	@sh scripts/install-deps.sh bench
	$(BUILD)/bin/vesnor-bench
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/vesnor-boxbench convert
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/vesnor-boxbench type
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/vesnor-boxbench live
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/vesnor-boxbench paste
	QT_QPA_PLATFORM=offscreen $(BUILD)/bin/vesnor-boxbench paste-bare
	sh bench/cli-bench.sh $(BUILD)/bin/vesnor-convert
	sh bench/kernels.sh $(BUILD)/bin/vesnor-convert
	sh bench/animation-cpu.sh $(BUILD)/bin/vesnor
	sh bench/long-line.sh $(BUILD)/bin/vesnor
	sh bench/gui-timing.sh $(BUILD)/bin/vesnor
	$(MAKE) --no-print-directory web
	cmake --build $(WEB_BUILD) --target vesnor-enginespeed
	sh bench/web.sh $(BUILD) $(WEB_BUILD)

# A Debian package of the program, in $(BUILD)/.
package: build
	cd $(BUILD) && cpack -G DEB

format:
	find engine ui composer dialogs app cli tests bench web -name '*.cpp' -o -name '*.h' \
		| xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN_BUILD) $(CLI_BUILD) $(WINQT_BUILD) $(WEB_BUILD)
