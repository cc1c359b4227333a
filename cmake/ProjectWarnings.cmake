# Warnings are errors for the project's own code, not for JUCE's sources.
#
# installer_core compiles JUCE's module sources too, so the flags cannot go on the
# target as a whole: they are set on the project's own source files of each target.
function(hf_project_warnings target)
    get_target_property(_sources ${target} SOURCES)
    get_target_property(_dir ${target} SOURCE_DIR)
    set(_own)
    foreach(_src IN LISTS _sources)
        if(_src MATCHES "\\.(cpp|cc|cxx)$" AND NOT _src MATCHES "^/usr/")
            list(APPEND _own ${_src})
        endif()
    endforeach()
    if(_own)
        set_source_files_properties(${_own} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_OPTIONS
            "$<TARGET_PROPERTY:juce::juce_recommended_warning_flags,INTERFACE_COMPILE_OPTIONS>;-Werror")
    endif()
endfunction()
