# widl writes a header, a type library and the GUID definitions from one .idl.
find_program(WIDL NAMES ${WIDL_EXECUTABLE} REQUIRED)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(VANTIK_WIDL_ARCH -m64)
    set(VANTIK_WINE_PE_LIBS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
else()
    set(VANTIK_WIDL_ARCH -m32)
    set(VANTIK_WINE_PE_LIBS /usr/lib/i386-linux-gnu/wine/i386-windows)
endif()

function(vantik_idl target idl_file)
    get_filename_component(name ${idl_file} NAME_WE)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/${name})
    add_custom_command(
        OUTPUT ${out}.h ${out}.tlb ${out}_i.c
        COMMAND ${WIDL} ${VANTIK_WIDL_ARCH} -I/usr/include/wine/wine/windows
                -L${VANTIK_WINE_PE_LIBS}
                -h -H ${out}.h -t -T ${out}.tlb -u -U ${out}_i.c
                ${CMAKE_CURRENT_SOURCE_DIR}/${idl_file}
        DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${idl_file}
        COMMENT "widl ${idl_file}")
    add_library(${target} STATIC ${out}_i.c ${out}.h)
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_BINARY_DIR})
    set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C)
    set(${target}_TLB ${out}.tlb PARENT_SCOPE)
endfunction()
