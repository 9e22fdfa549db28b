# mirpan_separate_debug_info(target)
# The program ships without its debug sections; they stay beside it in <name>.debug, which
# the stripped file names in its .gnu_debuglink section, so that a crash report from the
# shipped program can still be read with the symbols. Done in place after every link, so
# the tests and the demo run the very file that ships.
function(mirpan_separate_debug_info target)
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy was not found: it splits ${target}'s debug information off")
  endif()
  get_target_property(folder ${target} RUNTIME_OUTPUT_DIRECTORY)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  set(program $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${program} ${name}.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all ${program}
    # The link records the file's name only; the symbols are looked for beside the program.
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${name}.debug ${program}
    WORKING_DIRECTORY ${folder}
    BYPRODUCTS ${folder}/${name}.debug
    COMMENT "Keeping ${target}'s symbols beside it and stripping it"
    VERBATIM)
endfunction()
