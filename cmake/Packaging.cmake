# Installation as a desktop program and the CPack package.
# Linux: binary, desktop entry, icon and AppStream metainfo in their freedesktop places; a .deb.
# macOS: the binary only, in an archive; its runtimes (Qt, RtMidi, FluidSynth) are not bundled.
# The Windows program has neither: its installer is the .msi that app/win32 makes.
if(WIN32)
    return()
endif()

include(GNUInstallDirs)

set(NOLVEX_APP_ID io.github.nolvex.keyboard)
# Day of release ${PROJECT_VERSION}; move it on with the version.
set(NOLVEX_RELEASE_DATE 2026-12-06)

# The program is added in app/; a tree where it is missing still configures.
if(TARGET nolvex-keyboard)
    install(TARGETS nolvex-keyboard
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        BUNDLE DESTINATION .)
endif()

if(UNIX AND NOT APPLE)
    configure_file(packaging/${NOLVEX_APP_ID}.metainfo.xml.in
                   ${PROJECT_BINARY_DIR}/packaging/${NOLVEX_APP_ID}.metainfo.xml @ONLY)
    install(FILES packaging/${NOLVEX_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    install(FILES packaging/${NOLVEX_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/${NOLVEX_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
endif()

set(CPACK_PACKAGE_NAME nolvex-keyboard)
set(CPACK_PACKAGE_VENDOR "The Nolvex developers")
set(CPACK_PACKAGE_CONTACT "The Nolvex developers <nolvex@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "on-screen MIDI keyboard played with the mouse")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(UNIX AND NOT APPLE)
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION sound)
    # The long description; CPack puts the summary above it and indents it for the control file.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Nolvex MIDI keyboard shows five octaves of piano keys in a window that stays
above the others. A key pressed with the mouse sends a note to the first MIDI
output device. Menus choose one of the 120 General MIDI instruments and mark
the notes of 17 scales and chords on the keys.")
    # What the binary does not link but needs at run time: Qt's X11 platform plugin, FluidSynth,
    # the PipeWire and PulseAudio client libraries and a General MIDI SoundFont for the built-in
    # synth (loaded when it opens), and the font that stands in for Comic Sans MS.
    set(runtime_depends "qt6-qpa-plugins, libfluidsynth3, libpipewire-0.3-0, libpulse0, \
timgm6mb-soundfont | sf2-soundfont-gm, fonts-comic-neue")
    # The libraries it links come from dpkg-shlibdeps, with their minimum versions; without it
    # (dpkg-dev), the Debian 12 packages of those libraries, unversioned.
    # Qt's Wayland platform plugin, for a Wayland session without XWayland.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
    find_program(NOLVEX_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(NOLVEX_DPKG_SHLIBDEPS)
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
        set(CPACK_DEBIAN_PACKAGE_DEPENDS "${runtime_depends}")
    else()
        set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6gui6, libqt6core6, libx11-6, \
librtmidi6, libasound2, libjack-jackd2-0 | libjack-0.125, libstdc++6, \
libgcc-s1, libc6, ${runtime_depends}")
    endif()
elseif(APPLE)
    set(CPACK_GENERATOR TGZ)
endif()

include(CPack)
