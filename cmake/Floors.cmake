# One static library per floor.  A floor names the floors right below it (FLOORS) and the
# outside libraries it uses (LIBS); it may use what those floors may use, and nothing
# above.  Two checks hold every floor to that:
#  - <floor>_link_check (all of them: floor_link_checks) links the floor's whole archive
#    into a program with only the floors below it, so a call into a higher floor is an
#    undefined reference and the build fails;
#  - the floor_includes test (cmake/CheckFloorIncludes.cmake) fails when a file includes
#    a header from a folder that is not its own floor or one below, which catches
#    header-only uses that never reach the linker.
set_property(GLOBAL PROPERTY SWF_FLOOR_RULES "")
add_custom_target(floor_link_checks)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/floor_link_check.cpp
     CONTENT "int main() { return 0; }\n")

function(swf_floor name)
    cmake_parse_arguments(F "" "DIR" "FLOORS;LIBS" ${ARGN})
    # The folders whose headers this floor may include: its own and its floors' reach.
    set(reach ${F_DIR})
    foreach(lower ${F_FLOORS})
        get_property(lower_reach GLOBAL PROPERTY SWF_FLOOR_REACH_${lower})
        list(APPEND reach ${lower_reach})
    endforeach()
    list(REMOVE_DUPLICATES reach)
    set_property(GLOBAL PROPERTY SWF_FLOOR_REACH_${name} ${reach})
    list(JOIN reach "," reach_text)
    set_property(GLOBAL APPEND PROPERTY SWF_FLOOR_RULES "${F_DIR}=${reach_text}")

    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${F_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX ".*/plugin/Exports\\.cpp$")
    if(NOT sources)
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${F_FLOORS} ${F_LIBS})
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${F_FLOORS} ${F_LIBS})
    add_executable(${name}_link_check ${PROJECT_BINARY_DIR}/floor_link_check.cpp)
    target_link_libraries(${name}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}>")
    add_dependencies(floor_link_checks ${name}_link_check)
endfunction()

# Registers the include check over every floor declared so far.
function(swf_floor_include_test)
    get_property(rules GLOBAL PROPERTY SWF_FLOOR_RULES)
    list(JOIN rules "|" rules_text)
    add_test(NAME floor_includes
             COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} "-DRULES=${rules_text}"
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckFloorIncludes.cmake)
endfunction()
