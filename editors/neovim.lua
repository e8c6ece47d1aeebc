-- Job files (*.par) in Neovim 0.7 and later: their filetype, '#' comments, and one `kestcmd lsp`
-- for every job buffer, with completion through omnifunc (<C-x><C-o>) and the usual keymaps:
-- gd definition, gr references, K hover, <leader>rn rename, <leader>ca code action, <leader>f
-- format. Source it from init.lua (dofile) or init.vim (luafile); set vim.g.kestcmd to the
-- program's path when kestcmd is not on PATH, and vim.g.kestcmd_keymaps = false to keep your own
-- keymaps.
local client_id

-- Neovim 0.8 renamed formatting() to format().
local format = vim.lsp.buf.format or vim.lsp.buf.formatting

local keymaps = {
  { 'gd', vim.lsp.buf.definition, 'Go to the command a name names' },
  { 'gr', vim.lsp.buf.references, 'List the references to this command' },
  { 'K', vim.lsp.buf.hover, 'Show the readings of this value' },
  { '<leader>rn', vim.lsp.buf.rename, 'Rename this command' },
  { '<leader>ca', vim.lsp.buf.code_action, 'Fix this problem' },
  { '<leader>f', function() format({ async = true }) end, 'Lay out this job' },
}

vim.api.nvim_create_autocmd({ 'BufRead', 'BufNewFile' }, {
  pattern = '*.par',
  callback = function(args) vim.bo[args.buf].filetype = 'par' end,
})

vim.api.nvim_create_autocmd('FileType', {
  pattern = 'par',
  callback = function(args)
    vim.bo[args.buf].commentstring = '# %s'
    if not (client_id and vim.lsp.get_client_by_id(client_id)) then
      client_id = vim.lsp.start_client({
        name = 'kestcmd',
        cmd = { vim.g.kestcmd or 'kestcmd', 'lsp' },
        root_dir = vim.fn.getcwd(),
      })
    end
    vim.lsp.buf_attach_client(args.buf, client_id)
    vim.bo[args.buf].omnifunc = 'v:lua.vim.lsp.omnifunc'
    if vim.g.kestcmd_keymaps ~= false then
      for _, map in ipairs(keymaps) do
        vim.keymap.set('n', map[1], map[2], { buffer = args.buf, desc = map[3] })
      end
    end
  end,
})
