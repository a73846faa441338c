# beinstaller_add_app_resources(TARGET DEFINITION file [ZIP id name file]...)
#
# Makes the linked program TARGET a finished BeOS-style executable: after every link the
# build tool AddAppResources appends the resources that DEFINITION describes (signature,
# type, launch flags, supported types, version record, icons) and packs each ZIP file into
# resource ('RAWT', id) named name, as a ZIP archive whose one entry bears the file's leaf
# name. A file may be a generator expression such as $<TARGET_FILE:Other>.
#
# The definition, the packed files and the tool itself are link dependencies of TARGET, so
# a change to any of them relinks the program and adds its resources afresh: resources are
# never added twice or left stale.
function(beinstaller_add_app_resources target)
	cmake_parse_arguments(PARSE_ARGV 1 arg "" "DEFINITION" "ZIP")
	if(NOT arg_DEFINITION)
		message(FATAL_ERROR "beinstaller_add_app_resources: ${target} needs a DEFINITION")
	endif()
	get_filename_component(definition "${arg_DEFINITION}" ABSOLUTE)

	list(LENGTH arg_ZIP zip_values)
	math(EXPR zip_remainder "${zip_values} % 3")
	if(NOT zip_remainder EQUAL 0)
		message(FATAL_ERROR "beinstaller_add_app_resources: ZIP takes id, name and file")
	endif()

	set(zip_arguments)
	set(depends "${definition}" "$<TARGET_FILE:AddAppResources>")
	set(index 0)
	while(index LESS zip_values)
		math(EXPR name_index "${index} + 1")
		math(EXPR file_index "${index} + 2")
		list(GET arg_ZIP ${index} id)
		list(GET arg_ZIP ${name_index} name)
		list(GET arg_ZIP ${file_index} file)
		list(APPEND zip_arguments --zip "${id}" "${name}" "${file}")
		list(APPEND depends "${file}")
		math(EXPR index "${index} + 3")
	endwhile()

	add_dependencies(${target} AddAppResources)
	set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${depends})
	add_custom_command(TARGET ${target} POST_BUILD
		COMMAND AddAppResources "$<TARGET_FILE:${target}>" "${definition}" ${zip_arguments}
		COMMENT "Adding the resources of ${target}"
		VERBATIM)
endfunction()
