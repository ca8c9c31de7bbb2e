# Import libraries that keep DLL planting out.
#
# Windows looks for an imported DLL in the program's own folder before the
# system folder, except for the system's known DLLs, which always come from
# the system folder. The installer runs elevated from a downloads folder, so
# every other DLL is delay-loaded: its first call loads it, after the entry
# point has restricted the DLL search to the system folder
# (SetDefaultDllDirectories in src/app/main.cpp). ovek_delay_import_libs turns
# a list of system libraries into what to link: known DLLs and static
# libraries as they are, every other DLL as a delay-import library made here
# from MinGW-w64's own import library. A library added to the list later is
# covered the same way, with nothing more to do.

# The known DLLs of Windows 10 and 11 (HKLM\SYSTEM\CurrentControlSet\Control\
# Session Manager\KnownDLLs), less gdiplus, which not every version lists.
set(OVEK_KNOWN_DLLS
    advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt
    normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32
    wldap32 ws2_32)
# The application manifest takes version 6 of the common controls from the
# side-by-side store, not from the program's folder.
set(OVEK_SIDE_BY_SIDE_DLLS comctl32)

find_program(OVEK_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
find_program(OVEK_NM NAMES x86_64-w64-mingw32-nm nm REQUIRED)

function(ovek_delay_import_libs out)
  set(result)
  set(folder ${CMAKE_BINARY_DIR}/delayimp)
  file(MAKE_DIRECTORY ${folder})
  foreach(lib ${ARGN})
    string(TOLOWER ${lib} key)
    if(key IN_LIST OVEK_KNOWN_DLLS OR key IN_LIST OVEK_SIDE_BY_SIDE_DLLS)
      list(APPEND result ${lib})
      continue()
    endif()
    find_library(OVEK_IMPLIB_${key} NAMES ${lib} NO_CACHE)
    set(implib ${OVEK_IMPLIB_${key}})
    if(NOT implib)
      message(FATAL_ERROR "no import library for ${lib}")
    endif()
    execute_process(COMMAND ${OVEK_DLLTOOL} --identify ${implib}
                    OUTPUT_VARIABLE dll RESULT_VARIABLE failed ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(failed OR dll STREQUAL "")
      # A static library (uuid: interface identifiers), no DLL behind it.
      list(APPEND result ${lib})
      continue()
    endif()
    set(delaylib ${folder}/lib${key}_delay.a)
    if(NOT EXISTS ${delaylib} OR ${implib} IS_NEWER_THAN ${delaylib})
      execute_process(COMMAND ${OVEK_NM} ${implib} OUTPUT_VARIABLE symbols ERROR_QUIET)
      # Functions only: a thunk and its import slot. Data cannot be delay-loaded.
      string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z0-9_@]+" thunks "${symbols}")
      set(def "LIBRARY \"${dll}\"\nEXPORTS\n")
      set(count 0)
      foreach(line ${thunks})
        string(REGEX REPLACE "^[0-9a-f]+ T " "" name "${line}")
        if(symbols MATCHES " I __imp_${name}\n")
          string(APPEND def "  ${name}\n")
          math(EXPR count "${count} + 1")
        endif()
      endforeach()
      if(count EQUAL 0)
        message(FATAL_ERROR "no functions found in ${implib}")
      endif()
      file(WRITE ${folder}/${key}.def "${def}")
      execute_process(COMMAND ${OVEK_DLLTOOL} --input-def ${folder}/${key}.def --dllname ${dll}
                              --output-delaylib ${delaylib}
                      RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "dlltool could not make ${delaylib}")
      endif()
    endif()
    list(APPEND result ${delaylib})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()
