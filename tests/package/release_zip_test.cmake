# The release zip as the package target makes it: Tavrilo.exe and readme.txt alone, in one folder named after
# the zip; the read-me in UTF-8 with a byte order mark and CRLF line ends; the zip's version that of the
# program's FileVersion, which keeps the "a, b, c, d" form the version dialog reads.
# Run with -DBUILD_DIR=<build folder> -DRC_COMPILER=<windres> -DCPACK=<cpack>, after the build: CPack packs what
# the build made, as the package target does once it has built.
execute_process(COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" WORKING_DIRECTORY "${BUILD_DIR}"
  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "CPack failed:\n${output}")
endif()
if(NOT output MATCHES "package: ([^\n]*/(Tavrilo-([^/\n]*)-win64)\\.zip) generated")
  message(FATAL_ERROR "no Tavrilo-<version>-win64.zip was made:\n${output}")
endif()
set(zip "${CMAKE_MATCH_1}")
set(folder "${CMAKE_MATCH_2}")
set(version "${CMAKE_MATCH_3}")

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${zip}" OUTPUT_VARIABLE listing RESULT_VARIABLE result)
string(REGEX REPLACE "\n$" "" listing "${listing}")
string(REPLACE "\n" ";" entries "${listing}")
list(SORT entries)
if(result OR NOT entries STREQUAL "${folder}/Tavrilo.exe;${folder}/readme.txt")
  message(FATAL_ERROR "the zip holds:\n${listing}")
endif()

set(unpacked "${BUILD_DIR}/release-zip-test")
file(REMOVE_RECURSE "${unpacked}")
file(MAKE_DIRECTORY "${unpacked}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${zip}" WORKING_DIRECTORY "${unpacked}" RESULT_VARIABLE result)
if(result)
  message(FATAL_ERROR "the zip could not be unpacked")
endif()

# Read as bytes (a text read drops carriage returns), each written " xx" so that matches fall on whole bytes.
file(READ "${unpacked}/${folder}/readme.txt" hex HEX)
string(REGEX REPLACE "(..)" " \\1" bytes "${hex}")
if(NOT bytes MATCHES "^ ef bb bf")
  message(FATAL_ERROR "readme.txt does not start with the UTF-8 byte order mark")
endif()
string(REPLACE " 0d 0a" "" bare "${bytes}")
if(bare STREQUAL bytes OR bare MATCHES " 0[ad]")
  message(FATAL_ERROR "readme.txt has a line end other than CRLF, or none")
endif()

execute_process(COMMAND "${RC_COMPILER}" -i "${unpacked}/${folder}/Tavrilo.exe" -O rc
  OUTPUT_VARIABLE resources RESULT_VARIABLE result)
if(result OR NOT resources MATCHES "VALUE \"FileVersion\", \"([^\"]*)\"")
  message(FATAL_ERROR "Tavrilo.exe has no FileVersion")
endif()
set(fileVersion "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)$" "\\1.\\2.\\3.\\4" dotted "${fileVersion}")
if(dotted STREQUAL fileVersion OR NOT dotted STREQUAL version)
  message(FATAL_ERROR "the zip's version ${version} is not the FileVersion \"${fileVersion}\"")
endif()
