# The browser's build: the host's shared files with the browser's window
# layer and start, the toolchain's GLFW 3, GL on WebGL and OpenAL, and Ogg
# and Vorbis from VELLUMBY_WEB_DEPS (scripts/web_deps.sh). The game's data
# comes ready-made from a desktop build's data folder, VELLUMBY_WEB_DATA.
set(VELLUMBY_WEB_DEPS "" CACHE PATH "Ogg and Vorbis built for the browser (include/, lib/)")
set(VELLUMBY_WEB_DATA "" CACHE PATH "The game's data folder, made by a desktop build")

# Game exceptions are C++ exceptions: the browser build catches them too.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

add_library(orv_host STATIC
  host/host_game.cpp host/input_translate.cpp host/glfw_layer_base.cpp host/glfw_keys.cpp host/web_window.cpp
  host/files.cpp host/sound_files.cpp host/image_files.cpp
  host/renderer.cpp
  host/audio_device.cpp
  host/stb_image_impl.c)
# The image decoder's header is Debian's; the browser's OpenAL lacks the
# extension header (host/web/include has what the device needs of it).
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/include)
file(CREATE_LINK /usr/include/stb ${CMAKE_BINARY_DIR}/include/stb SYMBOLIC)
target_include_directories(orv_host SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/include
  ${CMAKE_CURRENT_SOURCE_DIR}/host/web/include ${VELLUMBY_WEB_DEPS}/include)
target_link_libraries(orv_host PUBLIC orv_runtime
  ${VELLUMBY_WEB_DEPS}/lib/libvorbisfile.a ${VELLUMBY_WEB_DEPS}/lib/libvorbis.a ${VELLUMBY_WEB_DEPS}/lib/libogg.a)
target_link_options(orv_host PUBLIC -sUSE_GLFW=3 -sLEGACY_GL_EMULATION=1 -lopenal)
set_source_files_properties(host/stb_image_impl.c PROPERTIES COMPILE_OPTIONS "-O3")

# vellumby.js and vellumby.wasm, the preloaded sounds and music and the page,
# in site/, with the images as files of their own in site/data/: only those
# of the canvas's image level are downloaded. The framework's fallback font
# is preloaded.
function(vellumby_web_program)
  set(site ${CMAKE_BINARY_DIR}/site)
  set(web_data_left_out)
  foreach(images common/* fonts/* [!t]*.png)  # not trel_font.png, nor the tunes' pictures
    list(APPEND web_data_left_out "SHELL:--exclude-file ${VELLUMBY_WEB_DATA}/${images}")
  endforeach()
  # Without the procedural player its tunes and instruments are never read:
  # a visitor does not download them.
  if(NOT ORV_HAS_MUSIC)
    list(APPEND web_data_left_out "SHELL:--exclude-file ${VELLUMBY_WEB_DATA}/tunes"
      "SHELL:--exclude-file ${VELLUMBY_WEB_DATA}/inst")
  endif()
  add_executable(vellumby game/main.cpp host/web_game.cpp host/web_data.cpp host/start_program.cpp)
  target_link_libraries(vellumby PRIVATE orv_game)
  set_target_properties(vellumby PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${site})
  target_link_options(vellumby PRIVATE
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728 -sFORCE_FILESYSTEM=1 -lidbfs.js
    -sEXIT_RUNTIME=0 -sEXPORTED_RUNTIME_METHODS=[FS,IDBFS,addRunDependency,removeRunDependency]
    --pre-js ${CMAKE_SOURCE_DIR}/host/web/pre.js
    --preload-file ${VELLUMBY_WEB_DATA}@/data ${web_data_left_out})
  set_property(TARGET vellumby APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/host/web/pre.js)
  add_custom_command(TARGET vellumby POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/host/web/index.html ${site}/index.html
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${site}/data
    COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/data
    COMMAND sh -c "find . -name '*.png' ! -path './tunes/*' ! -name trel_font.png | xargs cp --parents -t '${site}/data'"
    WORKING_DIRECTORY ${VELLUMBY_WEB_DATA} VERBATIM)
endfunction()

# The platform-free tests built for the browser's machine and run under
# node, on the real file system: the same game, bit for bit.
function(vellumby_web_tests)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(web_test_support STATIC tests/support/game_host.cpp tests/support/recording_graphics.cpp
    host/start_program.cpp)
  target_include_directories(web_test_support PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(web_test_support PUBLIC orv_game gtest)
  target_compile_definitions(web_test_support PUBLIC GAME_DATA_DIR="${VELLUMBY_WEB_DATA}")
  add_executable(test_wasm tests/game/test_replay.cpp tests/game/test_level_gen.cpp
    tests/runtime/test_string.cpp tests/runtime/test_gc.cpp tests/framework/test_random.cpp tests/music/test_sequencer.cpp
    tests/wasm/no_threads.cpp)
  target_link_libraries(test_wasm PRIVATE web_test_support gtest_main)
  target_compile_definitions(test_wasm PRIVATE DATA_DIR="${VELLUMBY_WEB_DATA}"
    REPLAY_TRACE="${CMAKE_SOURCE_DIR}/tests/game/replay.trace")
  target_link_options(test_wasm PRIVATE -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
  # The save tests read what the game prints, which the test framework takes
  # from its own stdout: on the toolchain's file system in memory.
  add_executable(test_wasm_saves tests/game/test_save_data.cpp)
  target_link_libraries(test_wasm_saves PRIVATE web_test_support gtest_main)
  target_link_options(test_wasm_saves PRIVATE -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
endfunction()
