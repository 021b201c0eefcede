# make test: installs what is missing, builds every preset and runs all tests in one CTest run
# (Linux, Windows under Wine, sanitizers). make run: builds and starts the tester on Linux.
# make package: Orvane-<version>-x86.msi and -x64.msi in build/package/.
# Each target installs only what it needs first (tools/bootstrap TARGET).
# The build rules are static pattern rules: make skips implicit rules for phony targets.
JOBS ?= $(shell nproc)
TEST_BUILDS := windows windows-x86 asan tsan linux
CTEST_JOBS ?= $(JOBS)

PACKAGE_BUILDS := windows-x86 windows

.PHONY: test run package bootstrap-test bootstrap-run bootstrap-package \
        $(addprefix build-,$(TEST_BUILDS)) $(addprefix package-,$(PACKAGE_BUILDS))

bootstrap-test bootstrap-run bootstrap-package: bootstrap-%:
	@tools/bootstrap $*

$(addprefix build-,$(TEST_BUILDS)): build-%: bootstrap-test
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -j $(JOBS)

# The Linux build's CTest run holds every build's tests (CMakePresets.json: ORVANE_JOINED_BUILDS);
# as in the tsan test preset, the ThreadSanitizer build's database tests are left out.
test: $(addprefix build-,$(TEST_BUILDS))
	@tools/with-display ctest --test-dir build/linux --output-on-failure -j $(CTEST_JOBS) -LE '^tsan$$' -LE '^database$$'
	@if [ -s build/wine32-unavailable ]; then echo "32-bit Windows tests skipped: $$(cat build/wine32-unavailable)"; fi

$(addprefix package-,$(PACKAGE_BUILDS)): package-%: bootstrap-package
	@cmake --preset $* >/dev/null
	@cmake --build --preset $* -j $(JOBS) --target orvane_package

package: $(addprefix package-,$(PACKAGE_BUILDS))
	@ls -l build/package/*.msi

run: bootstrap-run
	@cmake --preset linux >/dev/null
	@cmake --build --preset linux -j $(JOBS) --target orvane
	@tools/run-demo
