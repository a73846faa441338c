# Warnings as errors for every target of the project. GCC needs -Wno-multichar for
# four-character constants such as 'CSTR'.
function(beinstaller_warnings target)
	target_compile_options(${target} PRIVATE
		-Wall -Wextra -Woverloaded-virtual -Wnon-virtual-dtor -Wno-multichar -Werror)
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
