# Warnings as errors for every target of the project. GCC needs -Wno-multichar for
# four-character constants such as 'CSTR'.
#
# GCC 12 reports -Wrestrict inside libstdc++'s own std::string code when it inlines it at -O3
# (GCC bug 105329), with impossible sizes; the warning is switched off for that compiler only.
function(beinstaller_warnings target)
	target_compile_options(${target} PRIVATE
		-Wall -Wextra -Woverloaded-virtual -Wnon-virtual-dtor -Wno-multichar -Werror)
	if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
		target_compile_options(${target} PRIVATE -Wno-restrict)
	endif()
endfunction()

# Adds every *.cpp directly inside the given folders to a list, so that a new component
# only needs its source file.
function(beinstaller_sources out)
	set(result)
	foreach(folder IN LISTS ARGN)
		file(GLOB found CONFIGURE_DEPENDS "${folder}/*.cpp")
		list(APPEND result ${found})
	endforeach()
	set(${out} ${result} PARENT_SCOPE)
endfunction()
