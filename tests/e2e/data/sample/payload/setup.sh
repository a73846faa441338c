echo "setup script ran" > "$HOME/setup-ran"
