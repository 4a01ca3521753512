# cmake -D COMPILE_COMMANDS=FILE -D OUTPUT=FILE -P list-compile-flags.cmake
#
# Reads a compile_commands.json and writes one line per entry to OUTPUT: the source file, then the
# flags that say what the source means (language standard, definitions, include folders, forced
# includes), all separated by tabs. Optimisation, warning, code-generation and output flags are left
# out, so another compiler can check the same source. Used by scripts/check-windows; it is a CMake
# script because CMake, unlike a JSON tool, is on every machine that builds the project.

if(NOT COMPILE_COMMANDS OR NOT OUTPUT)
  message(FATAL_ERROR "usage: cmake -D COMPILE_COMMANDS=FILE -D OUTPUT=FILE -P list-compile-flags.cmake")
endif()

file(READ "${COMPILE_COMMANDS}" database)
string(JSON count LENGTH "${database}")
set(lines "")
if(count GREATER 0)
  math(EXPR last "${count} - 1")
  foreach(index RANGE ${last})
    string(JSON entry GET "${database}" ${index})
    string(JSON directory GET "${entry}" directory)
    string(JSON file GET "${entry}" file)
    string(JSON command GET "${entry}" command)
    cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY "${directory}" NORMALIZE)
    separate_arguments(words UNIX_COMMAND "${command}")

    set(flags "")
    set(take_next FALSE)
    foreach(word IN LISTS words)
      if(take_next)
        list(APPEND flags "${word}")
        set(take_next FALSE)
      elseif(word MATCHES "^-(I|isystem|iquote|idirafter|include|D|U)$")
        # the value follows as the next word
        list(APPEND flags "${word}")
        set(take_next TRUE)
      elseif(word MATCHES "^-(I|isystem|iquote|idirafter|include|D|U|std=)")
        list(APPEND flags "${word}")
      endif()
    endforeach()

    list(JOIN flags "\t" joined)
    string(APPEND lines "${file}\t${joined}\n")
  endforeach()
endif()
file(WRITE "${OUTPUT}" "${lines}")
