# Writes a C++ source holding every world schema as a raw string literal.
# Called with -DOUT=<file> -DSCHEMAS=<list separated by |>.
string(REPLACE "|" ";" _files "${SCHEMAS}")
set(_body "")
foreach(_f IN LISTS _files)
  file(READ ${_f} _text)
  get_filename_component(_name ${_f} NAME)
  string(APPEND _body "        {\"${_name}\", R\"schema(${_text})schema\"},\n")
endforeach()
file(WRITE ${OUT}.tmp "#include \"sim/world_schemas.h\"\n\nnamespace sim {\nconst std::vector<std::pair<std::string_view, std::string_view>>& embeddedWorldSchemas() {\n    static const std::vector<std::pair<std::string_view, std::string_view>> all = {\n${_body}    };\n    return all;\n}\n}  // namespace sim\n")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
