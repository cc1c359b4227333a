# Binary data linked into the program: the payload archive (resource 103, RCDATA)
# and the product's images and texts. Each blob is pulled in by the assembler's
# .incbin, so even a large payload costs no C++ compile time. On Windows the payload
# is a real resource of the executable, compiled by windres from a resource script.

# Writes an assembly file that defines <symbol>_begin / <symbol>_end around a file.
function(hf_write_incbin_asm out_file)
    # GNU as names the read-only data section differently for PE/COFF, which also has
    # no GNU-stack note.
    if(WIN32)
        set(_asm "    .section .rdata,\"dr\"\n")
    else()
        set(_asm "    .section .rodata\n")
    endif()
    set(_args ${ARGN})
    list(LENGTH _args _n)
    math(EXPR _last "${_n} - 1")
    foreach(_i RANGE 0 ${_last} 2)
        math(EXPR _j "${_i} + 1")
        list(GET _args ${_i} _sym)
        list(GET _args ${_j} _file)
        string(APPEND _asm
            "    .global ${_sym}_begin\n    .global ${_sym}_end\n    .balign 16\n"
            "${_sym}_begin:\n    .incbin \"${_file}\"\n${_sym}_end:\n    .byte 0\n")
    endforeach()
    if(NOT WIN32)
        string(APPEND _asm "    .section .note.GNU-stack,\"\",@progbits\n")
    endif()
    file(CONFIGURE OUTPUT ${out_file} CONTENT "${_asm}" @ONLY)
endfunction()

# The product's own data: banner, tick image, licence text.
function(hf_embed_product_data target)
    set(_asm ${CMAKE_BINARY_DIR}/generated/product_data.S)
    set(_banner ${CMAKE_SOURCE_DIR}/resources/banner.png)
    set(_tick ${CMAKE_SOURCE_DIR}/resources/tick.png)
    set(_licence ${CMAKE_SOURCE_DIR}/resources/licence.txt)
    hf_write_incbin_asm(${_asm}
        hf_banner_png ${_banner}
        hf_tick_png ${_tick}
        hf_licence_txt ${_licence})
    set_source_files_properties(${_asm} PROPERTIES OBJECT_DEPENDS "${_banner};${_tick};${_licence}")
    target_sources(${target} PRIVATE ${_asm})
endfunction()

# Builds the payload archive: one deflated entry "Vistrel.aex" at the archive's root.
function(hf_make_payload_archive out_var)
    set(_dir ${CMAKE_BINARY_DIR}/payload)
    set(_plugin ${_dir}/Vistrel.aex)
    set(_zip ${_dir}/payload.zip)
    if(HF_PAYLOAD_FILE)
        add_custom_command(OUTPUT ${_plugin}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
            COMMAND ${CMAKE_COMMAND} -E copy ${HF_PAYLOAD_FILE} ${_plugin}
            DEPENDS ${HF_PAYLOAD_FILE}
            COMMENT "Copying the payload plug-in")
    elseif(CMAKE_CROSSCOMPILING)
        # The plug-in maker runs during the build, so a cross build compiles it for the
        # build machine, with the build machine's compiler.
        find_program(HF_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
        set(_tool ${CMAKE_BINARY_DIR}/host/make_stub_plugin)
        add_custom_command(OUTPUT ${_tool}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
            COMMAND ${HF_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR}
                    -o ${_tool} ${CMAKE_SOURCE_DIR}/resources/make_stub_plugin.cpp
            DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_stub_plugin.cpp ${CMAKE_SOURCE_DIR}/resources/PeImageWriter.h
            COMMENT "Building the stand-in plug-in maker for the build machine")
        add_custom_command(OUTPUT ${_plugin}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
            COMMAND ${_tool} ${_plugin} ${PROJECT_VERSION}
            DEPENDS ${_tool}
            COMMENT "Making the stand-in plug-in")
        # The Windows end-to-end tests make plug-ins of other versions with it.
        set(HF_HOST_STUB_PLUGIN_MAKER ${_tool} PARENT_SCOPE)
    else()
        add_executable(make_stub_plugin resources/make_stub_plugin.cpp)
        target_include_directories(make_stub_plugin PRIVATE ${CMAKE_SOURCE_DIR})
        hf_project_warnings(make_stub_plugin)
        add_custom_command(OUTPUT ${_plugin}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
            COMMAND make_stub_plugin ${_plugin} ${PROJECT_VERSION}
            DEPENDS make_stub_plugin
            COMMENT "Making the stand-in plug-in")
    endif()
    # -X: no extra fields, -D: no folder entries, -j: at the archive's root, -9: deflate.
    add_custom_command(OUTPUT ${_zip}
        COMMAND ${CMAKE_COMMAND} -E rm -f ${_zip}
        COMMAND zip -q -X -D -j -9 ${_zip} ${_plugin}
        DEPENDS ${_plugin}
        COMMENT "Packing the payload archive")
    add_custom_target(payload_archive DEPENDS ${_zip})
    set(${out_var} ${_zip} PARENT_SCOPE)
endfunction()

# A resource table: hf_add_resource_table(name [id type file]...). Without entries the
# table is empty: a program linked with it has no embedded resources.
function(hf_add_resource_table name)
    if(WIN32)
        hf_add_resource_script(${name} ${ARGN})
        return()
    endif()
    set(_cpp ${CMAKE_BINARY_DIR}/generated/${name}_table.cpp)
    set(_entries "")
    set(_decls "")
    set(_asm_args "")
    set(_deps "")
    set(_args ${ARGN})
    list(LENGTH _args _n)
    set(_count 0)
    if(_n GREATER 0)
        math(EXPR _last "${_n} - 1")
        foreach(_i RANGE 0 ${_last} 3)
            math(EXPR _t "${_i} + 1")
            math(EXPR _f "${_i} + 2")
            list(GET _args ${_i} _id)
            list(GET _args ${_t} _type)
            list(GET _args ${_f} _file)
            set(_sym "hf_resource_${_id}_${_type}")
            string(APPEND _decls "extern const unsigned char ${_sym}_begin[];\nextern const unsigned char ${_sym}_end[];\n")
            string(APPEND _entries "    { ${_id}, ${_type}, ${_sym}_begin, ${_sym}_end },\n")
            list(APPEND _asm_args ${_sym} ${_file})
            list(APPEND _deps ${_file})
            math(EXPR _count "${_count} + 1")
        endforeach()
    endif()
    if(_count EQUAL 0)
        set(_entries "    { 0, 0, nullptr, nullptr },\n")
    endif()
    file(CONFIGURE OUTPUT ${_cpp} CONTENT
"// Generated: the program's embedded resources.
#include \"platform/posix/ResourceTable.h\"

extern \"C\" {
${_decls}
const HfResourceEntry hfResourceTable[] = {
${_entries}};
const int hfResourceCount = ${_count};
}
" @ONLY)
    set(_sources ${_cpp})
    if(_count GREATER 0)
        set(_asm ${CMAKE_BINARY_DIR}/generated/${name}.S)
        hf_write_incbin_asm(${_asm} ${_asm_args})
        set_source_files_properties(${_asm} PROPERTIES OBJECT_DEPENDS "${_deps}")
        list(APPEND _sources ${_asm})
    endif()
    add_library(${name} OBJECT ${_sources})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    if(_count GREATER 0)
        add_dependencies(${name} payload_archive)
    endif()
endfunction()

# The Windows form of a resource table: a resource script compiled by windres into an
# object library of its own. It links nothing, so none of the program's compile
# definitions (some hold characters that windres's preprocessor call cannot take)
# reach windres. Resources are in the language English (United States), 1033.
function(hf_add_resource_script name)
    set(_rc ${CMAKE_BINARY_DIR}/generated/${name}.rc)
    set(_text "// Generated: the program's embedded resources.\nLANGUAGE 9, 1\n")
    set(_deps "")
    set(_args ${ARGN})
    list(LENGTH _args _n)
    if(_n GREATER 0)
        math(EXPR _last "${_n} - 1")
        foreach(_i RANGE 0 ${_last} 3)
            math(EXPR _t "${_i} + 1")
            math(EXPR _f "${_i} + 2")
            list(GET _args ${_i} _id)
            list(GET _args ${_t} _type)
            list(GET _args ${_f} _file)
            if(_type STREQUAL "10")
                set(_type RCDATA)
            endif()
            string(APPEND _text "${_id} ${_type} \"${_file}\"\n")
            list(APPEND _deps ${_file})
        endforeach()
    endif()
    if(_n EQUAL 0)
        # windres refuses a script without resources: the empty table is an empty object.
        set(_cpp ${CMAKE_BINARY_DIR}/generated/${name}.cpp)
        file(CONFIGURE OUTPUT ${_cpp} CONTENT "// Generated: a program without embedded resources.\n" @ONLY)
        add_library(${name} OBJECT ${_cpp})
        return()
    endif()
    file(CONFIGURE OUTPUT ${_rc} CONTENT "${_text}" @ONLY)
    set_source_files_properties(${_rc} PROPERTIES OBJECT_DEPENDS "${_deps}")
    add_library(${name} OBJECT ${_rc})
    add_dependencies(${name} payload_archive)
endfunction()

# The Windows executable's own resources: the window icon (group 101: 16, 32, 48, 64,
# 128 and 256 pixels) and the application manifest, which asks for administrator rights.
function(hf_add_application_resources name)
    hf_add_resource_script(${name}
        101 ICON ${CMAKE_SOURCE_DIR}/resources/installer.ico
        1 24 ${CMAKE_SOURCE_DIR}/resources/installer.manifest)
endfunction()
